#pragma once

#include "ecosystem/terrain/rgbimage.h"

#include <QImage>

namespace assets {

// Pictures cross between Qt and the core as 8-bit RGB rows, top row first.
ecosystem::RgbImage toRgbImage(const QImage &image);
QImage toQImage(const ecosystem::RgbImage &image);

} // namespace assets
