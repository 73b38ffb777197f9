// The main window on the offscreen platform: every menu command's effect, the settings
// bytes it writes and the check marks it shows (keys through the real window are tested
// by tests/window/real/real_window_test.sh).
#include "window/main_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QTest>
#include <cstdlib>
#include <fstream>
#include <vector>

#include "core/game.h"
#include "frontend/messages_language.h"
#include "help/help_window.h"
#include "platform/pad_state.h"
#include "support/files.h"
#include "support/screen_harness.h"
#include "window/main_pict_view.h"
#include "window/menu_bar_builder.h"
#include "window/online_dialog.h"
#include "window/qt_host.h"
#include "window/ui_translation.h"

namespace vx {
namespace {

using Bytes = std::vector<uint8_t>;

struct WindowFixture : ::testing::Test {
    QtHost windowHost;
    testing::RealScreenHarness h{1, &windowHost};
    Game& g = h.g();
    std::unique_ptr<MainWindow> form;
    WindowFixture() {
        form = std::make_unique<MainWindow>(g, windowHost);
        form->Start();
    }
    QAction* Action(MenuId id) { return form->Menus()->Action(id); }
    void Trigger(MenuId id) { Action(id)->trigger(); }
    Bytes Saved() { return testing::ReadBytes(h.tg.DatSettings()); }
    bool Checked(MenuId id) { return Action(id)->isChecked(); }
};

TEST_F(WindowFixture, OpensOnTheTitleWithTheStartUpMenuState) {
    EXPECT_EQ(form->windowTitle().toStdString(), "VOLTRAX VER 2.1");
    EXPECT_EQ(g.ScreenState, screen_state::kTitle);
    EXPECT_TRUE(Checked(MenuId::Menutime1));
    EXPECT_TRUE(Checked(MenuId::MenuDiffMode2));
    EXPECT_TRUE(Checked(MenuId::MenuWave));
    EXPECT_FALSE(Checked(MenuId::MenuMidi));
    EXPECT_FALSE(Action(MenuId::MenuPause)->isEnabled());
    EXPECT_TRUE(Action(MenuId::MenuVSCPU)->isEnabled());
}

TEST_F(WindowFixture, RuleCommandsAreOneChoiceSavedAtOnce) {
    Trigger(MenuId::Menuscr3);
    EXPECT_TRUE(Checked(MenuId::Menuscr3));
    EXPECT_FALSE(Checked(MenuId::Menutime1));
    EXPECT_EQ(g.RuleKind, 2);
    EXPECT_EQ(g.ScoreLimit, 50);
    Bytes b = Saved();
    ASSERT_EQ(b.size(), 31u);
    EXPECT_EQ(Bytes(b.begin(), b.begin() + 12), (Bytes{0, 0, 0, 0, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(b[25], 2);
    EXPECT_EQ(b[28], 50);

    Trigger(MenuId::Menutime2);
    EXPECT_TRUE(Checked(MenuId::Menutime2));
    EXPECT_FALSE(Checked(MenuId::Menuscr3)) << "a time item after a score item switches the rule";
    b = Saved();
    EXPECT_EQ(Bytes(b.begin(), b.begin() + 12), (Bytes{0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0, 0}));
    EXPECT_EQ(b[25], 1);
    EXPECT_EQ(b[26], 90);
}

TEST_F(WindowFixture, DifficultyAndSoundCommandsFlipTheirMarksAndSave) {
    Trigger(MenuId::MenuDiffMode3);
    EXPECT_TRUE(Checked(MenuId::MenuDiffMode3));
    EXPECT_FALSE(Checked(MenuId::MenuDiffMode2));
    const Bytes b = Saved();
    EXPECT_EQ(b[30], 10);
    EXPECT_EQ(Bytes(b.begin() + 12, b.begin() + 18), (Bytes{0, 0, 0, 0, 0xFF, 0xFF}));

    Trigger(MenuId::MenuWave);
    EXPECT_FALSE(Checked(MenuId::MenuWave));
    EXPECT_FALSE(g.Options.On(Switch::kEffects));
    EXPECT_EQ(Saved()[20], 0);

    Trigger(MenuId::MenuMidi);
    EXPECT_TRUE(Checked(MenuId::MenuMidi));
    EXPECT_EQ(Saved()[18], 0xFF);
    EXPECT_NE(g.MusicPath.find("opening.mid"), std::string::npos) << "on the title the opening tune opens";
    EXPECT_EQ(h.seq.playing.filename(), "opening.mid");
    Trigger(MenuId::MenuMidi);
    EXPECT_FALSE(Checked(MenuId::MenuMidi));
    EXPECT_TRUE(h.seq.playing.empty());
    EXPECT_EQ(h.seq.calls.back(), "stop");
}

TEST_F(WindowFixture, GameCommandsActOnlyWhereTheyMayAndMirrorEnabledStates) {
    Trigger(MenuId::MenuPause);  // nothing to pause on the title
    Trigger(MenuId::MenuGameStop);
    EXPECT_EQ(g.ScreenState, screen_state::kTitle);
    EXPECT_EQ(g.MatchRequest, 0);
    // ゲーム > オンライン対戦 opens its dialog on the title, with the lobby --lobby gave.
    form->SetLobby("lobby.example");
    Trigger(MenuId::MenuNetOnline);
    ASSERT_NE(form->OnlineDialogShown(), nullptr);
    EXPECT_EQ(form->OnlineDialogShown()->Lobby(), "lobby.example");
    form->OnlineDialogShown()->reject();

    Trigger(MenuId::MenuVS2P);
    EXPECT_EQ(g.ScreenState, screen_state::kBusy) << "the command only starts the screen change";
    EXPECT_TRUE(QTest::qWaitFor([&] { return !g.flow.Busy(); }, 3000)) << "the window's timer runs it";
    EXPECT_EQ(g.ScreenState, screen_state::kStageSelect);
    EXPECT_EQ(g.GameMode, 2);
    EXPECT_FALSE(Action(MenuId::MenuVSCPU)->isEnabled());
    EXPECT_FALSE(Action(MenuId::MenuVS2P)->isEnabled());
    EXPECT_FALSE(Action(MenuId::MenuNetOnline)->isEnabled());
    EXPECT_FALSE(Action(MenuId::MenuNetWatch)->isEnabled()) << "watching starts from the title only";
}

TEST_F(WindowFixture, LosingFocusPausesPlayWhileItsOptionIsOnAndTheOptionIsRemembered) {
    QAction* option = form->PauseOnFocusLossAction();
    ASSERT_NE(option, nullptr);
    EXPECT_TRUE(option->isChecked()) << "on by default";
    g.ScreenState = screen_state::kPlaying;
    QEvent deactivated(QEvent::ActivationChange);  // the window is not the active one
    QApplication::sendEvent(form.get(), &deactivated);
    EXPECT_EQ(g.MatchRequest, match_request::kPause) << "paused as P pauses";

    g.MatchRequest = match_request::kNone;
    option->trigger();
    QApplication::sendEvent(form.get(), &deactivated);
    EXPECT_EQ(g.MatchRequest, match_request::kNone) << "the option is off";
    const QString file = qEnvironmentVariable("XDG_CONFIG_HOME") + "/voltrax/voltrax.ini";
    EXPECT_TRUE(QFile::exists(file)) << file.toStdString();

    g.ScreenState = screen_state::kTitle;
    form = std::make_unique<MainWindow>(g, windowHost);
    EXPECT_FALSE(form->PauseOnFocusLossAction()->isChecked()) << "read back by the next window";
    form->PauseOnFocusLossAction()->trigger();
    EXPECT_TRUE(form->Options().pauseOnFocusLoss);
}

// Pads reach the game through the window's own timer and event queue, whatever the
// platform (ctest runs this file under weston too): the d-pad and A choose 1P VS CPU.
TEST_F(WindowFixture, APadPressesTheTitlesButtonsThroughTheWindow) {
    struct HeldPads : PadSource {
        PadReadings now;
        PadReadings Poll() override { return now; }
    } pads;
    form->show();
    form->AttachPads(&pads);
    for (const PadButtons& held :
         {PadButtons{}, PadButtons{.down = true}, PadButtons{}, PadButtons{.a = true}}) {
        pads.now = {{7, held}};
        QTest::qWait(600);  // past the look-out for new pads, then several polls
    }
    pads.now = {{7, PadButtons{}}};
    EXPECT_TRUE(QTest::qWaitFor([&] { return g.ScreenState == screen_state::kStageSelect; }, 3000))
        << "screen " << int{g.ScreenState};
}

TEST_F(WindowFixture, TheExitCommandAndTheCloseBoxEndTheProgram) {
    Trigger(MenuId::MenuMidi);
    Trigger(MenuId::MenuEnd);
    EXPECT_TRUE(form->Host()->Ending());
    EXPECT_TRUE(h.seq.playing.empty());
    EXPECT_EQ(h.seq.calls.back(), "stop");
}

TEST_F(WindowFixture, ClosingTheWindowEndsTheProgram) {
    form->close();
    EXPECT_TRUE(form->Host()->Ending());
}

// The help command under each locale, as main.cpp chooses the language at start-up: the
// English text (UTF-8) for an English locale, the Japanese one (code page 932) for Japanese.
TEST_F(WindowFixture, HelpShowsTheTextInTheLanguageOfTheLocale) {
    const std::filesystem::path folder = h.tg.folder.Path();
    std::ofstream(folder / "read me.en.txt", std::ios::binary) << "How to play \xe2\x80\x94 English\n";
    std::ofstream(folder / "read me.txt", std::ios::binary)
        << testing::Iconv("遊び方\r\n", "UTF-8", "CP932").value();
    const char* const saved = std::getenv("LANG");
    const std::string savedLang = saved ? saved : "";
    struct Case {
        const char* lang;
        const char* shown;
    };
    for (const Case& c : {Case{"en_US.UTF-8", "How to play \u2014 English\n"},
                          Case{"ja_JP.UTF-8", "遊び方\n"}, Case{"C", "How to play \u2014 English\n"}}) {
        SCOPED_TRACE(c.lang);
        for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES"}) unsetenv(name);
        setenv("LANG", c.lang, 1);
        ASSERT_TRUE(UseLanguage(MessagesLanguage(ProcessEnvironment())));
        // The window's help command shows this file modally (ShowHelp); the page is the
        // same HelpWindow without the dialog's event loop.
        const HelpWindow help(form->HelpFile(), QString());
        const QString shown = help.Picture1()->text();
        EXPECT_EQ(shown, QString::fromUtf8(c.shown));
    }
    if (saved)
        setenv("LANG", savedLang.c_str(), 1);
    else
        unsetenv("LANG");
    ASSERT_TRUE(UseLanguage("ja"));
}

}  // namespace
}  // namespace vx
