// Builds MainWindow's QMenuBar from the menu model and keeps it in step: every check mark and
// enabled change of the model shows at once, and every command goes to one handler by id.
// Qt never toggles a check mark itself; the handler changes the model, which mirrors back.
#pragma once

#include <QObject>

#include <array>
#include <functional>

#include "core/menu_model.h"

class QAction;
class QMenuBar;

namespace vx {

class MenuBarBinding : public QObject {
  public:
    // Fills bar (which must be empty) from model and takes over model.onChange; the
    // previous onChange is still called after the mirror. bar and model must outlive
    // the binding, or the binding is destroyed first (it is a child of bar).
    MenuBarBinding(MenuModel& model, QMenuBar* bar);
    ~MenuBarBinding() override;

    // Called with the item's id when the player chooses a command (click, access key or
    // Ctrl shortcut). Top-level menus and submenus only open; they do not call it.
    std::function<void(MenuId)> onTriggered;

    // The action of an item: for menus and submenus their menuAction(); null for none.
    QAction* Action(MenuId id) const { return actions_[static_cast<size_t>(id)]; }

    // Sets every action from the model again (after the model was replaced wholesale).
    void SyncAll();

  private:
    void Sync(MenuId id);
    void Triggered(MenuId id);

    MenuModel& model_;
    std::function<void(MenuId)> previousOnChange_;
    std::array<QAction*, kMenuItemCount> actions_{};
};

}  // namespace vx
