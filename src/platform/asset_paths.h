// Every file of the program folder the game opens, in one place. Paths are the game's own
// ("\dat\OP": from the program folder, a backslash before each component, letter case
// free); ProgramFiles::Resolve turns them into real paths. A picture named without an
// extension is found as .bmp, .png or .jpg (picture_file.h).
#pragma once

#include <string>
#include <string_view>

namespace vx::asset {

// dat/: the screens, the tunes, the sounds and the settings record.
inline constexpr const char* kTitlePicture = "\\dat\\OP";
inline constexpr const char* kStageSelectPicture = "\\dat\\stagec";
inline constexpr const char* kWaitingPicture = "\\dat\\bwait";
inline constexpr const char* kTablePicture = "\\dat\\battle";
inline constexpr const char* kOpeningTune = "\\dat\\opening.mid";
inline constexpr const char* kMatchTune = "\\dat\\bgm1.mid";
inline constexpr const char* kSettingsRecord = "\\dat\\Sysdata.rnd";

// A sound effect by its name ("wave1"): "\dat\wave1.wav".
inline std::string EffectSound(std::string_view name) {
    return "\\dat\\" + std::string(name) + ".wav";
}

// design/: the sprite sheet, the stage drawings and the help and about pictures.
inline constexpr const char* kSpriteSheet = "\\design\\Pict.bmp";
inline constexpr const char* kStageLines = "\\design\\LinePict.bmp";
inline constexpr const char* kStage3Overlay = "\\design\\St3.bmp";
inline constexpr const char* kStageMask = "\\design\\Mas.bmp";
inline constexpr const char* kAboutPicture = "\\design\\About.bmp";
inline constexpr const char* kItemsPicture = "\\design\\Items.bmp";

}  // namespace vx::asset
