#include "window/menu_bar_builder.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>

#include "core/options_table.h"
#include "window/ui_translation.h"

namespace vx {

namespace {

bool HasChildren(const MenuModel& model, MenuId id) {
    for (const MenuItem& item : model.Items())
        if (item.parent == id && item.id != id) return true;
    return false;
}

// The option items (those of the options table and full screen) carry check marks; the
// commands do not, so Qt leaves them no box.
bool ShowsCheckMark(const MenuItem& item) {
    return item.checked || item.id == MenuId::MenuFullScreen || IsOptionItem(item.id);
}

}  // namespace

MenuBarBinding::MenuBarBinding(MenuModel& model, QMenuBar* bar)
    : QObject(bar), model_(model), previousOnChange_(model.onChange) {
    std::array<QMenu*, kMenuItemCount> menus{};
    for (const MenuItem& item : model_.Items()) {
        const auto index = static_cast<size_t>(item.id);
        const QString caption = MenuCaption(item.caption);
        if (item.parent == item.id) {
            menus[index] = bar->addMenu(caption);
            actions_[index] = menus[index]->menuAction();
            continue;
        }
        QMenu* parent = menus[static_cast<size_t>(item.parent)];
        if (parent == nullptr) continue;  // the model lists parents before children
        if (item.separator) {
            actions_[index] = parent->addSeparator();
        } else if (HasChildren(model_, item.id)) {
            menus[index] = parent->addMenu(caption);
            actions_[index] = menus[index]->menuAction();
        } else {
            QAction* action = parent->addAction(caption);
            if (item.shortcut != 0)
                action->setShortcut(
                    QKeySequence(Qt::CTRL | static_cast<Qt::Key>(Qt::Key_A + (item.shortcut - 'A'))));
            action->setCheckable(ShowsCheckMark(item));
            const MenuId id = item.id;
            connect(action, &QAction::triggered, this, [this, id] { Triggered(id); });
            actions_[index] = action;
        }
    }
    SyncAll();
    model_.onChange = [this](MenuId id) {
        Sync(id);
        if (previousOnChange_) previousOnChange_(id);
    };
}

MenuBarBinding::~MenuBarBinding() {
    model_.onChange = previousOnChange_;
}

void MenuBarBinding::SyncAll() {
    for (const MenuItem& item : model_.Items()) Sync(item.id);
}

void MenuBarBinding::Sync(MenuId id) {
    QAction* action = Action(id);
    if (action == nullptr) return;
    const MenuItem& item = model_.Item(id);
    action->setEnabled(item.enabled);
    if (item.separator || action->menu() != nullptr) return;
    if (item.checked && !action->isCheckable()) action->setCheckable(true);
    if (action->isCheckable()) action->setChecked(item.checked);
}

void MenuBarBinding::Triggered(MenuId id) {
    // Qt has already flipped a checkable action; put the model's mark back before the
    // handler runs, so a handler that reads the mark (the sound toggles) sees the model.
    // The handler may end the program and take the menu bar (and this) with it.
    Sync(id);
    QPointer<MenuBarBinding> alive(this);
    if (onTriggered) onTriggered(id);
    if (alive) Sync(id);
}

}  // namespace vx
