// The screens as one table: every way the game enters a screen state, with what the menu
// bar, the mouse pointer and the music do on entering it. EnterScreen (match/screen_change.h)
// is the one place that applies a row; the window's monkey test checks the menu bar against
// the same rows after every event.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "core/menu_model.h"

namespace vx {

// The ways into a screen. Most screens have one; a few have two that differ only in their
// music, and the busy state (a screen change or the end of a match running) has one per
// kind of change, since what it locks or frees depends on where the change leads.
enum class Screen : uint8_t {
    kTitle,                  // the title, the opening tune from its start
    kTitleKeepingTune,       // the title at start-up or back from the stage select
    kStageSelect,            // the stage select from the title, the opening tune going on
    kStageSelectAfterMatch,  // the stage select from a result, the opening tune from its start
    kWaiting,                // the waiting screen with the stage's digit before a match
    kGuestWaiting,           // a network guest waiting for the host's choice
    kIntro,                  // Ready and Go! over the first frame
    kPlaying,                // the match's frames
    kPausing,                // the loop stopped after a frame for a pause; the pause screen follows
    kPaused,                 // the pause screen
    kResumeRequested,        // back from the pause, until the match's loop runs again
    kResult,                 // the result with its three buttons
    kLeavingTitle,           // busy: from the title to the stage select or a network session
    kToTitle,                // busy: on the way back to the title
    kToStageSelect,          // busy: from a result back to the stage select
    kToMatch,                // busy: on the way to a match (a stage chosen, a retry, a replay)
    kMatchOver,              // busy: a match ended (its last messages) or was cut short
    kBusy,                   // busy: any other screen change
    Count
};

constexpr size_t kScreenCount = static_cast<size_t>(Screen::Count);

// The groups of menu items a screen turns on or off.
enum class MenuGroup : uint8_t {
    kGameStart,  // 1P VS CPU, 1P VS 2P, watching a replay, the two network items
    kOptions,    // the nine time, score and difficulty items
    kPause,
    kResume,
    kStop,
    Count
};

constexpr size_t kMenuGroupCount = static_cast<size_t>(MenuGroup::Count);

enum class Items : uint8_t { kKeep, kOn, kOff };
enum class Pointer : uint8_t { kKeep, kArrow, kHidden };
// What the music does on entering, when the music item is checked: nothing, the opening
// or the match tune from its start, or stop. kStopAlways stops the sequencer whatever the
// check mark (the end of a match and the pause leave nothing playing in any case).
enum class Music : uint8_t { kKeep, kOpening, kMatch, kStop, kStopAlways };

struct ScreenRow {
    Screen screen;
    uint8_t state;  // the value of g.ScreenState
    std::array<Items, kMenuGroupCount> menu;
    Pointer pointer;
    Music music;
};

const ScreenRow& RowOf(Screen screen);
std::span<const ScreenRow> ScreenRows();
// The menu items of a group.
std::span<const MenuId> GroupItems(MenuGroup group);

}  // namespace vx
