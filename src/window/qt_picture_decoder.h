// PNG (and any other format Qt's image plugins read) for the game's picture loader,
// which reads BMP itself and hands everything else to this decoder.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "platform/picture_file.h"
#include "platform/surface.h"

namespace vx {

// Decodes bytes with QImage into out (resized to the picture). Transparent pixels are
// laid over black, as the game's pictures have no transparency of their own. On
// failure returns false with a reason in error and leaves out unchanged.
bool DecodeWithQt(std::span<const uint8_t> bytes, Surface& out, std::string& error);

inline void InstallQtPictureDecoder(PictureLoader& loader) {
    loader.SetOtherDecoder(DecodeWithQt);
}

}  // namespace vx
