#include "cli/terrainresources.h"

#include "cli/command.h"

#include <QFile>
#include <QSaveFile>

#include <sstream>

namespace cli {

std::optional<ecosystem::HeightImages> TerrainResources::heightImages(std::string &error)
{
    ecosystem::HeightImages images;
    for (int k = 0; k < 5; ++k) {
        const QString path = QStringLiteral(":/gui/textures/height%1.jpg").arg(k + 1);
        const QImage image(path);
        if (image.isNull()) {
            error = "cannot read the height picture " + path.toStdString();
            return std::nullopt;
        }
        images[static_cast<std::size_t>(k)] = toRgbImage(image);
    }
    return images;
}

int TerrainResources::loadTerrain(ecosystem::TerrainModel &terrain, const std::string &demPath,
                                  ecosystem::TerrainModel::MapUpdate maps)
{
    std::string error;
    const auto images = heightImages(error);
    if (!images)
        return fail(ExitBadInput, error);

    QFile file(QString::fromLocal8Bit(demPath.c_str()));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return fail(ExitBadInput, "Could not open DEM terrain file. (" + demPath + ")");
    const QByteArray bytes = file.readAll();
    std::istringstream text(std::string(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    const ecosystem::DemLoadResult result = terrain.loadDem(text, *images, maps);
    if (!result.ok())
        return fail(ExitBadInput, result.message() + " (" + demPath + ": " + result.detail + ")");
    return ExitOk;
}

ecosystem::RgbImage TerrainResources::toRgbImage(const QImage &image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    const int w = rgb.width();
    const int h = rgb.height();
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 3);
    for (int y = 0; y < h; ++y) {
        const uchar *line = rgb.constScanLine(y);
        std::copy(line, line + static_cast<std::ptrdiff_t>(w) * 3,
                  bytes.begin() + static_cast<std::ptrdiff_t>(y) * w * 3);
    }
    return ecosystem::RgbImage(w, h, std::move(bytes));
}

QImage TerrainResources::toQImage(const ecosystem::RgbImage &image)
{
    QImage out(image.width(), image.height(), QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            out.setPixel(x, y, qRgb(image.channel(x, y, 0), image.channel(x, y, 1), image.channel(x, y, 2)));
    return out;
}

bool TerrainResources::writeFile(const std::string &path, const QByteArray &bytes, std::string &error)
{
    QSaveFile file(QString::fromLocal8Bit(path.c_str()));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        error = "cannot write " + path + ": " + file.errorString().toStdString();
        return false;
    }
    return true;
}

} // namespace cli
