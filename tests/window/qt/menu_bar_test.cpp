#include "window/menu_bar_builder.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace vx {
namespace {

struct MenuFixture {
    MenuModel model;
    std::unique_ptr<QMenuBar> bar = std::make_unique<QMenuBar>();
    MenuBarBinding* binding = new MenuBarBinding(model, bar.get());
};

TEST(MenuBarTest, BarIsBuiltAsTabled) {
    MenuFixture f;
    const QList<QAction*> top = f.bar->actions();
    ASSERT_EQ(top.size(), 3);
    EXPECT_EQ(top[0]->text(), QString::fromUtf8("ゲーム(&G)"));
    EXPECT_EQ(top[1]->text(), QString::fromUtf8("オプション(&O)"));
    EXPECT_EQ(top[2]->text(), QString::fromUtf8("ヘルプ(&H)"));

    const QList<QAction*> game = top[0]->menu()->actions();
    ASSERT_EQ(game.size(), 8);
    EXPECT_TRUE(game[2]->isSeparator());
    EXPECT_TRUE(game[6]->isSeparator());
    EXPECT_EQ(game[3]->text(), QString::fromUtf8("ゲームの一時停止(&P)"));
    EXPECT_EQ(game[3]->shortcut(), QKeySequence(QStringLiteral("Ctrl+P")));
    EXPECT_EQ(game[7]->shortcut(), QKeySequence(QStringLiteral("Ctrl+X")));
    EXPECT_EQ(game[0]->shortcut(), QKeySequence());

    QMenu* mode = f.binding->Action(MenuId::MenuMode)->menu();
    ASSERT_NE(mode, nullptr);
    const QList<QAction*> modeItems = mode->actions();
    ASSERT_EQ(modeItems.size(), 7);
    EXPECT_EQ(modeItems[0]->text(), QString::fromUtf8("Time 120( &H)"));
    EXPECT_TRUE(modeItems[3]->isSeparator());
    EXPECT_EQ(modeItems[6]->text(), QString::fromUtf8("Score 50(&F)"));
    EXPECT_EQ(f.binding->Action(MenuId::MenuSound)->menu()->actions().size(), 2);
    EXPECT_EQ(f.binding->Action(MenuId::MenuVer)->text(), QString::fromUtf8("バージョン情報(&V)"));
}

TEST(MenuBarTest, DesignStateShowsAndModelChangesAreMirrored) {
    struct {
        MenuModel model;
        std::unique_ptr<QMenuBar> bar = std::make_unique<QMenuBar>();
        MenuBarBinding* binding = nullptr;
    } f;
    std::vector<MenuId> alsoSeen;
    f.model.onChange = [&](MenuId id) { alsoSeen.push_back(id); };  // a listener from before
    f.binding = new MenuBarBinding(f.model, f.bar.get());

    EXPECT_TRUE(f.binding->Action(MenuId::Menutime1)->isChecked());
    EXPECT_TRUE(f.binding->Action(MenuId::MenuWave)->isChecked());
    EXPECT_FALSE(f.binding->Action(MenuId::MenuMidi)->isChecked());
    EXPECT_TRUE(f.binding->Action(MenuId::MenuMidi)->isCheckable());
    EXPECT_FALSE(f.binding->Action(MenuId::MenuVSCPU)->isCheckable()) << "commands carry no check box";
    EXPECT_FALSE(f.binding->Action(MenuId::MenuPause)->isEnabled());

    f.model.SetChecked(MenuId::Menutime1, false);
    f.model.SetChecked(MenuId::Menuscr2, true);
    f.model.SetEnabled(MenuId::MenuPause, true);
    f.model.SetEnabled(MenuId::MenuVSCPU, false);
    f.model.SetEnabled(MenuId::MenuDiffMode1, false);
    EXPECT_FALSE(f.binding->Action(MenuId::Menutime1)->isChecked());
    EXPECT_TRUE(f.binding->Action(MenuId::Menuscr2)->isChecked());
    EXPECT_TRUE(f.binding->Action(MenuId::MenuPause)->isEnabled());
    EXPECT_FALSE(f.binding->Action(MenuId::MenuVSCPU)->isEnabled());
    EXPECT_FALSE(f.binding->Action(MenuId::MenuDiffMode1)->isEnabled());
    EXPECT_EQ(alsoSeen.size(), 5u) << "the listener that was there before still hears every change";
}

TEST(MenuBarTest, TriggeringCallsTheHandlerAndOnlyTheModelSetsCheckMarks) {
    MenuFixture f;
    std::vector<MenuId> calls;
    f.binding->onTriggered = [&](MenuId id) { calls.push_back(id); };

    f.binding->Action(MenuId::MenuVSCPU)->trigger();
    f.binding->Action(MenuId::MenuMidi)->trigger();  // a handler that changes nothing
    EXPECT_FALSE(f.binding->Action(MenuId::MenuMidi)->isChecked()) << "Qt must not flip the mark itself";
    f.binding->Action(MenuId::Menutime1)->trigger();
    EXPECT_TRUE(f.binding->Action(MenuId::Menutime1)->isChecked()) << "nor clear a checked one";
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0], MenuId::MenuVSCPU);
    EXPECT_EQ(calls[1], MenuId::MenuMidi);

    // A handler like the real one: it changes the model, which mirrors back.
    f.binding->onTriggered = [&](MenuId id) {
        f.model.SetChecked(MenuId::Menutime1, false);
        f.model.SetChecked(id, true);
    };
    f.binding->Action(MenuId::Menutime3)->trigger();
    EXPECT_TRUE(f.binding->Action(MenuId::Menutime3)->isChecked());
    EXPECT_FALSE(f.binding->Action(MenuId::Menutime1)->isChecked());
}

TEST(MenuBarTest, HandlerMayDestroyTheMenuBar) {
    auto f = std::make_unique<MenuFixture>();
    f->binding->onTriggered = [&](MenuId) { f->bar.reset(); };
    QAction* end = f->binding->Action(MenuId::MenuEnd);
    QPointer<QAction> alive(end);
    end->trigger();
    EXPECT_TRUE(alive.isNull());
    EXPECT_FALSE(f->model.onChange) << "the model no longer calls into the gone binding";
}

}  // namespace
}  // namespace vx
