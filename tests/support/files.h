// File, text and picture helpers shared by the tests, the soak and the benchmarks: bytes
// in and out, a copy of the built program folder, BMP files through the game's own
// decoder, code page conversion and counting changed pixels.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/surface.h"

namespace vx::testing {

using Bytes = std::vector<uint8_t>;

Bytes ReadBytes(const std::filesystem::path& path);
// Creates the missing folders on the way.
void WriteBytes(const std::filesystem::path& path, const Bytes& bytes);

// The program folder the build wrote (dat/, design/, read me.txt).
std::filesystem::path BuiltProgram();
// Copies the built dat/ and design/ into folder, without any saved options.
void CopyBuiltProgram(const std::filesystem::path& folder);

// Reads a BMP file with the game's decoder; false with a reason in error.
bool LoadBmpFile(const std::filesystem::path& path, Surface& out, std::string& error);
// Writes s to $VOLTRAX_SCREEN_DIR/<name>.bmp when that variable is set.
void Snapshot(const Surface& s, const std::string& name);

// text converted between two encodings by iconv; nothing when a byte does not convert.
std::optional<std::string> Iconv(const std::string& text, const char* from, const char* to);
int LineCount(const std::string& text);

// Pixels of (x, y, w, h) where a and b differ; with outside, those everywhere else instead.
int CountDifferingPixels(const Surface& a, const Surface& b, int x, int y, int w, int h,
                         bool outside = false);

}  // namespace vx::testing
