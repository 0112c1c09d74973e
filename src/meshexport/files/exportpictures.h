#pragma once

#include "ecosystem/scene/ecosystemscene.h"
#include "lignet/treeparameters.h"
#include "meshexport/forestscene.h"
#include "meshexport/treescene.h"

#include <optional>
#include <string>

namespace meshexport {

// The set's bark and leaf pictures (files or ":/" resources) colour-keyed as the program draws
// them and encoded as PNG. When one cannot be read: nothing, and `error` says which
// ("Could not open bark texture file." or "Could not open leaf texture file.").
std::optional<TreePictures> loadTreePictures(const lignet::TreeParameters &parameters, std::string *error);

// The pictures of the six tree models and of the terrain's colour texture.
std::optional<ForestPictures> loadForestPictures(const ecosystem::EcosystemScene &scene, std::string *error);

} // namespace meshexport
