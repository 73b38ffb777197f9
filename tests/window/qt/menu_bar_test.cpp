#include "window/menu_bar_builder.h"

#include <QAction>
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
