#include "about/about_lines.h"
#include "platform/version.h"

namespace vx {

namespace {

// The version, who makes the game, and the free software it is built on, each with its
// licence as the Debian package's copyright file gives it.
constexpr std::array<AboutLine, kAboutLineCount> kLines = {{
    {30, 13, "VOLTRAX VER " VOLTRAX_VERSION_TEXT},
    {30, 28, "(C) 2026 THE VOLTRAX TEAM"},
    {102, 43, "AND ITS CONTRIBUTORS"},
    {30, 55, "&"},
    {102, 70, "- BUILT WITH -"},
    {30, 85, "Qt 6               LGPL-3.0"},
    {30, 100, "SDL2               zlib"},
    {30, 115, "FluidSynth         LGPL-2.1+"},
    {30, 130, "TimGM6mb SoundFont GPL-2.0"},
    {30, 145, "ENet               MIT"},
    {30, 160, "IPA fonts          IPA Font 1.0"},
    {40, 175, "&"},
    {66, 205, "THANK YOU FOR PLAYING!"},
}};

}  // namespace

const std::array<AboutLine, kAboutLineCount>& AboutLines() {
    return kLines;
}

int AboutCharacterCount() {
    int count = 0;
    for (const AboutLine& line : kLines) count += static_cast<int>(line.text.size());
    return count;
}

}  // namespace vx
