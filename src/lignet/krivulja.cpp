#include "lignet/krivulja.h"

namespace lignet {

double Krivulja::valueAt(double x) const
{
    const std::size_t n = m_points.size();
    if (n == 0)
        return 0.0;
    if (n == 1)
        return m_points[0].y;

    std::size_t right = 1;
    while (right < n && !(m_points[right].x > x))
        ++right;
    if (right == n)
        right = 1;

    const KrivuljaPoint &a = m_points[right - 1];
    const KrivuljaPoint &b = m_points[right];
    const double dx = b.x - a.x;
    const double slope = dx == 0.0 ? 0.0 : (b.y - a.y) / dx;
    return a.y + slope * (x - a.x);
}

} // namespace lignet
