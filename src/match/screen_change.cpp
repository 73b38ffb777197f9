#include "match/screen_change.h"

#include "core/game.h"
#include "sound/music.h"

namespace vx {

void SetGroupEnabled(Game& g, MenuGroup group, bool enabled) {
    for (MenuId id : GroupItems(group)) g.Menu.SetEnabled(id, enabled);
}

void EnterScreen(Game& g, Screen screen) {
    const ScreenRow& row = RowOf(screen);
    g.ScreenState = row.state;
    for (size_t k = 0; k < kMenuGroupCount; ++k)
        if (row.menu[k] != Items::kKeep)
            SetGroupEnabled(g, static_cast<MenuGroup>(k), row.menu[k] == Items::kOn);
    if (row.pointer != Pointer::kKeep)
        g.host.SetMousePointer(row.pointer == Pointer::kHidden ? MousePointer::Invisible
                                                               : MousePointer::Normal);
    switch (row.music) {
        case Music::kKeep: break;
        case Music::kOpening: SwitchToOpeningMusic(g); break;
        case Music::kMatch:
            if (MusicWanted(g)) StartMusic(g, Tune::kMatch);
            break;
        case Music::kStop:
            if (MusicWanted(g)) StopMusic(g);
            break;
        case Music::kStopAlways: StopMusic(g); break;
    }
}

}  // namespace vx
