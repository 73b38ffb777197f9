#include "core/screen_table.h"

#include "core/game.h"

namespace vx {

namespace {

namespace ss = screen_state;
using S = Screen;
constexpr Items on = Items::kOn, off = Items::kOff, keep = Items::kKeep;

// The game-start items serve the title only; the options are locked from the waiting screen
// to the result; pause is on while the match runs, resume and stop only while it is paused.
// A busy state keeps the menu as it was, except that it is never paused or running, and
// frees or locks what its destination will (the options back to a menu screen, the
// game-start items leaving the title) so nothing can be chosen halfway.
// clang-format off
constexpr std::array<ScreenRow, kScreenCount> kRows = {{
    //                                  game start options pause resume stop
    {S::kTitle,                 ss::kTitle,           {on,   on,   off,  off, off}, Pointer::kArrow,  Music::kOpening},
    {S::kTitleKeepingTune,      ss::kTitle,           {on,   on,   off,  off, off}, Pointer::kArrow,  Music::kKeep},
    {S::kStageSelect,           ss::kStageSelect,     {off,  on,   off,  off, off}, Pointer::kArrow,  Music::kKeep},
    {S::kStageSelectAfterMatch, ss::kStageSelect,     {off,  on,   off,  off, off}, Pointer::kArrow,  Music::kOpening},
    {S::kWaiting,               ss::kWaiting,         {off,  off,  off,  off, off}, Pointer::kArrow,  Music::kKeep},
    // The guest may still change its own options: the host's are the ones played.
    {S::kGuestWaiting,          ss::kWaiting,         {off,  keep, off,  off, off}, Pointer::kArrow,  Music::kKeep},
    {S::kIntro,                 ss::kIntro,           {off,  off,  on,   off, off}, Pointer::kHidden, Music::kKeep},
    {S::kPlaying,               ss::kPlaying,         {off,  off,  on,   off, off}, Pointer::kHidden, Music::kMatch},
    // The music stops with the loop; the menu and the pointer change with the pause picture.
    {S::kPausing,               ss::kPaused,          {off,  off,  on,   off, off}, Pointer::kHidden, Music::kStopAlways},
    {S::kPaused,                ss::kPaused,          {off,  off,  off,  on,  on},  Pointer::kArrow,  Music::kKeep},
    {S::kResumeRequested,       ss::kResumeRequested, {off,  off,  on,   off, off}, Pointer::kHidden, Music::kKeep},
    {S::kResult,                ss::kResult,          {off,  off,  off,  off, off}, Pointer::kArrow,  Music::kOpening},
    {S::kLeavingTitle,          ss::kBusy,            {off,  keep, off,  off, off}, Pointer::kKeep,   Music::kKeep},
    {S::kToTitle,               ss::kBusy,            {keep, on,   off,  off, off}, Pointer::kArrow,  Music::kKeep},
    {S::kToStageSelect,         ss::kBusy,            {off,  on,   off,  off, off}, Pointer::kKeep,   Music::kStop},
    {S::kToMatch,               ss::kBusy,            {off,  keep, off,  off, off}, Pointer::kKeep,   Music::kStop},
    {S::kMatchOver,             ss::kBusy,            {keep, keep, off,  off, off}, Pointer::kKeep,   Music::kStopAlways},
    {S::kBusy,                  ss::kBusy,            {keep, keep, off,  off, off}, Pointer::kKeep,   Music::kKeep},
}};
// clang-format on

constexpr bool RowsInOrder() {
    for (size_t i = 0; i < kRows.size(); ++i)
        if (static_cast<size_t>(kRows[i].screen) != i) return false;
    return true;
}
static_assert(RowsInOrder(), "row i of the table is Screen i");

constexpr MenuId kGameStartItems[] = {MenuId::MenuVS2P,     MenuId::MenuVSCPU,   MenuId::MenuWatch,
                                      MenuId::MenuNetHost,  MenuId::MenuNetJoin, MenuId::MenuNetWatch,
                                      MenuId::MenuNetOnline};
constexpr MenuId kOptionItems[] = {MenuId::Menutime1, MenuId::Menuscr1, MenuId::MenuDiffMode1,
                                   MenuId::Menutime2, MenuId::Menuscr2, MenuId::MenuDiffMode2,
                                   MenuId::Menutime3, MenuId::Menuscr3, MenuId::MenuDiffMode3};
constexpr MenuId kPauseItem[] = {MenuId::MenuPause};
constexpr MenuId kResumeItem[] = {MenuId::MenuRePlay};
constexpr MenuId kStopItem[] = {MenuId::MenuGameStop};

}  // namespace

const ScreenRow& RowOf(Screen screen) {
    return kRows[static_cast<size_t>(screen)];
}

std::span<const ScreenRow> ScreenRows() {
    return kRows;
}

std::span<const MenuId> GroupItems(MenuGroup group) {
    switch (group) {
        case MenuGroup::kGameStart: return kGameStartItems;
        case MenuGroup::kOptions: return kOptionItems;
        case MenuGroup::kPause: return kPauseItem;
        case MenuGroup::kResume: return kResumeItem;
        case MenuGroup::kStop: return kStopItem;
        case MenuGroup::Count: break;
    }
    return {};
}

}  // namespace vx
