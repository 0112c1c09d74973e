#pragma once

#include <cstddef>
#include <initializer_list>
#include <vector>

namespace lignet {

struct KrivuljaPoint {
    double x = 0.0;
    double y = 0.0;
    bool operator==(const KrivuljaPoint &) const = default;
};

// A polyline on (mostly) the unit square. Users rely on at least two points with x ascending;
// curves read from files are taken as they come, so only valueAt's contract is guaranteed.
class Krivulja {
public:
    Krivulja() = default;
    Krivulja(std::initializer_list<KrivuljaPoint> points) : m_points(points) {}

    // Linear interpolation on the segment whose right end is the first point with x strictly
    // greater than the argument; beyond the last point it extrapolates along the first segment.
    // The result is not clamped.
    double valueAt(double x) const;

    const std::vector<KrivuljaPoint> &points() const { return m_points; }
    std::vector<KrivuljaPoint> &points() { return m_points; }
    std::size_t size() const { return m_points.size(); }
    bool empty() const { return m_points.empty(); }
    const KrivuljaPoint &operator[](std::size_t i) const { return m_points[i]; }
    KrivuljaPoint &operator[](std::size_t i) { return m_points[i]; }
    void append(const KrivuljaPoint &p) { m_points.push_back(p); }
    void clear() { m_points.clear(); }

    bool operator==(const Krivulja &) const = default;

private:
    std::vector<KrivuljaPoint> m_points;
};

} // namespace lignet
