#include "core/menu_model.h"

#include <gtest/gtest.h>

#include <vector>

namespace vx {
namespace {

TEST(MenuModelTest, DesignStateAndTableOrder) {
    MenuModel m;
    for (int i = 0; i < kMenuItemCount; ++i)
        EXPECT_EQ(static_cast<int>(m.Items()[static_cast<size_t>(i)].id), i)
            << "items are listed in id order";
    EXPECT_TRUE(m.Checked(MenuId::Menutime1));
    EXPECT_TRUE(m.Checked(MenuId::MenuDiffMode2));
    EXPECT_TRUE(m.Checked(MenuId::MenuWave));
    EXPECT_FALSE(m.Checked(MenuId::MenuMidi));
    EXPECT_FALSE(m.Enabled(MenuId::MenuPause));
    EXPECT_FALSE(m.Enabled(MenuId::MenuRePlay));
    EXPECT_FALSE(m.Enabled(MenuId::MenuGameStop));
    EXPECT_TRUE(m.Enabled(MenuId::MenuVSCPU));
    EXPECT_STREQ(m.Item(MenuId::Menutime1).caption, "Time 120( &H)");
    EXPECT_EQ(m.Item(MenuId::MenuEnd).shortcut, 'X');
    EXPECT_EQ(MenuModel::Diff(3), MenuId::MenuDiffMode3);
}

TEST(MenuModelTest, WatchingAReplaySitsBelow1PVs2PAndFollowsTheTitle) {
    MenuModel m;
    EXPECT_EQ(static_cast<int>(MenuId::MenuWatch), static_cast<int>(MenuId::MenuVS2P) + 1);
    EXPECT_STREQ(m.Item(MenuId::MenuWatch).caption, "リプレイを見る(&W)...");
    EXPECT_EQ(m.Item(MenuId::MenuWatch).parent, MenuId::MenuGame);
    EXPECT_TRUE(m.Enabled(MenuId::MenuWatch));
    m.SetGameStartItemsEnabled(false);
    EXPECT_FALSE(m.Enabled(MenuId::MenuWatch));
    m.SetGameStartItemsEnabled(true);
    EXPECT_TRUE(m.Enabled(MenuId::MenuWatch));
}

TEST(MenuModelTest, EveryChangeIsReported) {
    MenuModel m;
    std::vector<MenuId> changed;
    m.onChange = [&](MenuId id) { changed.push_back(id); };
    m.SetEnabled(MenuId::MenuPause, true);
    m.SetChecked(MenuId::MenuMidi, true);
    EXPECT_EQ(changed, (std::vector<MenuId>{MenuId::MenuPause, MenuId::MenuMidi}));
    EXPECT_TRUE(m.Enabled(MenuId::MenuPause));
}

}  // namespace
}  // namespace vx
