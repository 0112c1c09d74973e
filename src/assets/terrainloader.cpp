#include "assets/terrainloader.h"

#include "assets/imageconversion.h"

#include <QFile>
#include <QImage>

#include <sstream>

namespace assets {

std::optional<ecosystem::HeightImages> TerrainLoader::heightImages(std::string *error)
{
    ecosystem::HeightImages images;
    for (std::size_t i = 0; i < images.size(); ++i) {
        const QString path = QStringLiteral(":/gui/textures/height%1.jpg").arg(i + 1);
        images[i] = toRgbImage(QImage(path));
        if (images[i].isEmpty()) {
            if (error != nullptr)
                *error = "cannot read the height picture " + path.toStdString();
            return std::nullopt;
        }
    }
    return images;
}

ecosystem::DemLoadResult TerrainLoader::load(ecosystem::TerrainModel &terrain, const QString &path,
                                             ecosystem::TerrainModel::MapUpdate maps)
{
    ecosystem::DemLoadResult result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.status = ecosystem::DemLoadResult::Status::CouldNotOpen;
        result.detail = path.toStdString() + ": " + file.errorString().toStdString();
        return result;
    }
    std::string error;
    const auto images = heightImages(&error);
    if (!images) {
        result.status = ecosystem::DemLoadResult::Status::CouldNotOpen;
        result.detail = error;
        return result;
    }
    const QByteArray bytes = file.readAll();
    std::istringstream stream(std::string(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    result = terrain.loadDem(stream, *images, maps);
    if (!result.ok())
        result.detail = path.toStdString() + (result.detail.empty() ? "" : ": " + result.detail);
    return result;
}

} // namespace assets
