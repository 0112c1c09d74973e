#include "assets/speciestrees.h"

#include "lignet/treeparameterfile.h"

#include <QFile>

#include <filesystem>

namespace assets {

const std::array<std::string, 6> &speciesTreeFiles()
{
    static const std::array<std::string, 6> files = {
        "bin/zbirka-4/grm5.tree.xml",
        "bin/zbirka-4/Vrba Zalujka (Salix Babylonica).tree.xml",
        "bin/zbirka-4/javorVelikZgorajGost.tree.xml",
        "bin/zbirka-4/smrekaMini.tree.xml",
        "bin/zbirka-4/manjseDefault100_vecjiListi.tree.xml",
        "",
    };
    return files;
}

namespace {

bool loadCompiledIn(const std::string &file, lignet::TreeParameters &parameters, std::string *reason)
{
    const std::string name = std::filesystem::path(file).filename().string();
    QFile resource(QStringLiteral(":/gui/zbirka-4/") + QString::fromStdString(name));
    if (!resource.open(QIODevice::ReadOnly)) {
        *reason = "no compiled-in copy of " + name;
        return false;
    }
    const QByteArray bytes = resource.readAll();
    return lignet::TreeParameterFile::parse(
        std::string(bytes.constData(), static_cast<std::size_t>(bytes.size())), parameters, reason);
}

} // namespace

bool loadSpeciesTree(std::size_t index, lignet::TreeParameters &parameters, std::string *warning)
{
    const std::string &file = speciesTreeFiles().at(index);
    if (file.empty())
        return false;
    std::string reason;
    std::error_code ignored;
    if (std::filesystem::exists(file, ignored)) {
        if (lignet::TreeParameterFile::load(parameters, file, &reason))
            return true;
        if (warning != nullptr)
            *warning =
                "species tree file \"" + file + "\" not read (" + reason + "); using the built-in copy";
    }
    if (loadCompiledIn(file, parameters, &reason))
        return true;
    if (warning != nullptr)
        *warning = "species tree \"" + file + "\" not read (" + reason + "); drawn with the default tree";
    return false;
}

} // namespace assets
