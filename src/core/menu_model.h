// The menu bar as plain data: every item with its caption, shortcut, check mark and
// enabled state. The game changes it; the window mirrors it through onChange.
#pragma once

#include <array>
#include <cstdint>
#include <functional>

namespace vx {

// clang-format off
enum class MenuId : uint8_t {
    MenuGame, MenuVSCPU, MenuVS2P, MenuWatch, MenuNetHost, MenuNetJoin, MenuNetWatch, MenuNetOnline,
    SeparatorBeforePause,
    MenuPause, MenuRePlay, MenuGameStop, SeparatorBeforeQuit, MenuEnd,
    MenuOpt, MenuMode, Menutime1, Menutime2, Menutime3, SeparatorTimeScore, Menuscr1, Menuscr2, Menuscr3,
    MenuLevel, MenuDiffMode1, MenuDiffMode2, MenuDiffMode3,
    MenuSound, MenuWave, MenuMidi, MenuKeys, MenuFullScreen,
    MenuHelp, MenuVXHelp, SeparatorBeforeAbout, MenuVer,
    Count
};
// clang-format on

constexpr int kMenuItemCount = static_cast<int>(MenuId::Count);

struct MenuItem {
    MenuId id;
    MenuId parent;        // its own id for the top-level menus
    const char* name;     // the item's control name, as the menu bar and its tests know it
    const char* caption;  // UTF-8; '&' marks the access key; empty for separators
    char shortcut;        // Ctrl + this letter, or 0
    bool separator;
    bool checked;
    bool enabled;
};

class MenuModel {
  public:
    MenuModel();  // every item as the program starts: checks, enabled states and captions

    const MenuItem& Item(MenuId id) const { return items_[Index(id)]; }
    const std::array<MenuItem, kMenuItemCount>& Items() const { return items_; }

    bool Checked(MenuId id) const { return Item(id).checked; }
    bool Enabled(MenuId id) const { return Item(id).enabled; }
    void SetChecked(MenuId id, bool checked);
    // The screens turn items on and off in groups (core/screen_table.h).
    void SetEnabled(MenuId id, bool enabled);

    // The control arrays, item i = 1..3.
    static MenuId Time(int i) { return Offset(MenuId::Menutime1, i); }
    static MenuId Score(int i) { return Offset(MenuId::Menuscr1, i); }
    static MenuId Diff(int i) { return Offset(MenuId::MenuDiffMode1, i); }

    // Called after every change of a check mark or enabled state.
    std::function<void(MenuId)> onChange;

  private:
    static size_t Index(MenuId id) { return static_cast<size_t>(id); }
    static MenuId Offset(MenuId first, int i) { return static_cast<MenuId>(static_cast<int>(first) + i - 1); }
    std::array<MenuItem, kMenuItemCount> items_;
};

}  // namespace vx
