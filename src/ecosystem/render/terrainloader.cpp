#include "ecosystem/render/terrainloader.h"

#include <QFile>
#include <QImage>

#include <sstream>
#include <string>

namespace ecosystem::render {

RgbImage TerrainLoader::toRgbImage(const QImage &image)
{
    if (image.isNull())
        return {};
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    std::vector<std::uint8_t> bytes;
    bytes.reserve(static_cast<std::size_t>(rgb.width()) * static_cast<std::size_t>(rgb.height()) * 3);
    for (int y = 0; y < rgb.height(); ++y) {
        const uchar *line = rgb.constScanLine(y);
        bytes.insert(bytes.end(), line, line + 3 * rgb.width());
    }
    return RgbImage(rgb.width(), rgb.height(), std::move(bytes));
}

HeightImages TerrainLoader::heightImages()
{
    HeightImages images;
    for (int i = 0; i < 5; ++i)
        images[static_cast<std::size_t>(i)] =
            toRgbImage(QImage(QStringLiteral(":/gui/textures/height%1.jpg").arg(i + 1)));
    return images;
}

DemLoadResult TerrainLoader::load(TerrainModel &terrain, const QString &path, TerrainModel::MapUpdate maps)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        DemLoadResult result;
        result.status = DemLoadResult::Status::CouldNotOpen;
        result.detail = path.toStdString() + ": " + file.errorString().toStdString();
        return result;
    }
    const QByteArray bytes = file.readAll();
    std::istringstream stream(std::string(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    return terrain.loadDem(stream, heightImages(), maps);
}

} // namespace ecosystem::render
