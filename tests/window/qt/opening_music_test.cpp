// Start-up with music on: the title reaches the screen before the opening music opens
// (opening it waits for the SoundFont), and the music still starts, once; the start-up
// steps the title does not need run once, after it.
#include <gtest/gtest.h>

#include <QTest>

#include "core/game.h"
#include "core/menu_model.h"
#include "frontend/sys_data.h"
#include "support/files.h"
#include "support/screen_harness.h"
#include "window/main_window.h"
#include "window/qt_host.h"

namespace vx {
namespace {

struct MusicOnAtStart : ::testing::Test {
    QtHost windowHost;
    testing::RealScreenHarness h{1, &windowHost};
    Game& g = h.g();
    std::unique_ptr<MainWindow> form;
    MusicOnAtStart() {
        g.Options.Set(Switch::kMusic, true);
        const SettingsRecord r = EncodeSettings(g);
        testing::WriteBytes(h.tg.DatSettings(), testing::Bytes(r.begin(), r.end()));
        g.Options.Set(Switch::kMusic, false);
        form = std::make_unique<MainWindow>(g, windowHost);
    }
    int Opens() { return static_cast<int>(h.seq.Plays()); }
};

TEST_F(MusicOnAtStart, TheTitleIsPaintedBeforeTheMusicOpensAndItOpensOnce) {
    form->show();
    form->Start();
    ASSERT_TRUE(g.Menu.Checked(MenuId::MenuMidi));
    EXPECT_EQ(Opens(), 0) << "nothing may wait for the SoundFont before the first paint";
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    EXPECT_TRUE(QTest::qWaitFor([&] { return Opens() == 1; }, 500)) << "the first paint starts the music";
    EXPECT_EQ(h.seq.playing.filename(), "opening.mid");
    QTest::qWait(1200);  // past the fallback
    EXPECT_EQ(Opens(), 1);
}

TEST_F(MusicOnAtStart, AWindowNeverPaintedStillGetsItsMusic) {
    form->Start();
    EXPECT_EQ(Opens(), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Opens() == 1; }, 2000));
    EXPECT_EQ(h.seq.playing.filename(), "opening.mid");
}

TEST_F(MusicOnAtStart, MusicTurnedOffBeforeItStartedStaysOff) {
    form->Start();
    form->RunMenuCommand(MenuId::MenuMidi);
    ASSERT_FALSE(g.Menu.Checked(MenuId::MenuMidi));
    QTest::qWait(1200);
    EXPECT_EQ(Opens(), 0);
    EXPECT_TRUE(h.seq.playing.empty());
}

TEST_F(MusicOnAtStart, LaterStepsRunOnceBeforeTheFirstInputAndTheMusicWaitsUntilReady) {
    int steps = 0;
    bool ready = false;
    form->AddStepAfterTitleShown([&] { ++steps; });
    form->musicReady = [&] { return ready; };
    form->Start();
    EXPECT_EQ(steps, 0) << "only the title comes before its first paint";
    form->RunMenuCommand(MenuId::MenuDiffMode1);
    EXPECT_EQ(steps, 1) << "the first input finishes start-up first";
    QTest::qWait(1200);  // past the fallback
    EXPECT_EQ(steps, 1);
    EXPECT_EQ(Opens(), 0) << "the music waits for the SoundFont without holding up the window";
    ready = true;
    EXPECT_TRUE(QTest::qWaitFor([&] { return Opens() == 1; }, 500));
}

}  // namespace
}  // namespace vx
