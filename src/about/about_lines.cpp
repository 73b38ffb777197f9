#include "about/about_lines.h"

namespace vx {

namespace {

// Role lines: the label filled out with spaces to 14 characters, then the name.
constexpr std::array<AboutLine, kAboutLineCount> kLines = {{
    {30, 13, "VOLTRAX VER 2.1   "},
    {130, 28, "2026 VOLTRAX TEAM"},
    {30, 40, "&"},
    {120, 55, "- STUFF -"},
    {30, 70, "PRODUCED      Mina Okabe"},
    {30, 85, "GAME DESIGN   Ren Takeuchi"},
    {30, 100, "GRAPHIC       Sora Hayami"},
    {30, 115, "PROGRAM       Kai Morita"},
    {30, 130, "MUSIC         Yuki Asano"},
    {30, 145, "ALGORITHM     Tomo Ishida"},
    {40, 160, "&"},
    {30, 175, "MEMBERS:  Haru Ueda"},
    {30, 190, "          Nao Fujita"},
    {30, 205, "          Riku Sato"},
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
