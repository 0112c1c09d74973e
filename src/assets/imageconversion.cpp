#include "assets/imageconversion.h"

#include <cstring>
#include <vector>

namespace assets {

ecosystem::RgbImage toRgbImage(const QImage &image)
{
    if (image.isNull())
        return {};
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    const auto rowBytes = static_cast<std::size_t>(rgb.width()) * 3;
    std::vector<std::uint8_t> bytes(rowBytes * static_cast<std::size_t>(rgb.height()));
    for (int y = 0; y < rgb.height(); ++y)
        std::memcpy(bytes.data() + rowBytes * static_cast<std::size_t>(y), rgb.constScanLine(y), rowBytes);
    return ecosystem::RgbImage(rgb.width(), rgb.height(), std::move(bytes));
}

QImage toQImage(const ecosystem::RgbImage &image)
{
    if (image.isEmpty())
        return {};
    QImage result(image.width(), image.height(), QImage::Format_RGB888);
    for (int y = 0; y < image.height(); ++y) {
        uchar *line = result.scanLine(y);
        for (int x = 0; x < image.width(); ++x)
            for (int c = 0; c < 3; ++c)
                line[3 * x + c] = image.channel(x, y, c);
    }
    return result;
}

} // namespace assets
