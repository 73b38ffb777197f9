// The picture loader: reads a picture file by its content (no extension needed) into
// a Surface. BMP is read here in plain C++; other formats (PNG) come through a decoder
// the shell registers, so the game core needs no image library.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "platform/surface.h"

namespace vx {

// Decodes an uncompressed BMP (1, 4, 8, 24 or 32 bits per pixel, bottom-up or top-down).
// On failure returns false with a short reason in error and leaves out unchanged.
bool DecodeBmp(std::span<const uint8_t> bytes, Surface& out, std::string& error);
// A 24-bit bottom-up BMP of the surface.
std::vector<uint8_t> EncodeBmp(const Surface& picture);

bool IsPng(std::span<const uint8_t> bytes);

class PictureLoader {
  public:
    using Decoder = std::function<bool(std::span<const uint8_t>, Surface&, std::string&)>;

    // Reads the file into out (resized to the picture). False with a message naming
    // the file when it is missing, unreadable or not a picture.
    bool Load(const std::filesystem::path& path, Surface& out, std::string& error) const;

    // Formats other than BMP (the shell registers PNG).
    void SetOtherDecoder(Decoder decoder) { other_ = std::move(decoder); }

  private:
    Decoder other_;
};

}  // namespace vx
