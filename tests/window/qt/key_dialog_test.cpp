// The key dialog (change, refusal, standard keys), the keys kept in the settings file and
// used by the next match, full screen, and the English captions.
#include "window/key_dialog.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <vector>

#include "core/game.h"
#include "help/help_window.h"
#include "support/files.h"
#include "support/screen_harness.h"
#include "window/main_pict_view.h"
#include "window/main_window.h"
#include "window/menu_bar_builder.h"
#include "window/options_store.h"
#include "window/qt_host.h"
#include "window/ui_translation.h"

namespace vx {
namespace {

// X11 key codes of the US layout.
constexpr uint32_t kScanQ = 24, kScanR = 27, kScanZ = 52, kScanLess = 94, kScanF11 = 95;

void Key(QWidget* to, QEvent::Type type, int qtKey, uint32_t scan, const QString& text) {
    QKeyEvent event(type, qtKey, Qt::NoModifier, scan, 0, 0, text);
    QApplication::sendEvent(to, &event);
}
void Press(QWidget* to, int qtKey, uint32_t scan, const QString& text = {}) {
    Key(to, QEvent::KeyPress, qtKey, scan, text);
}
void Release(QWidget* to, int qtKey, uint32_t scan) {
    Key(to, QEvent::KeyRelease, qtKey, scan, {});
}
// Clicks the row's button and presses the key.
void ChooseKey(KeyDialog& d, KeyAction row, int qtKey, uint32_t scan, const QString& text) {
    d.KeyButton(row)->click();
    ASSERT_EQ(d.WaitingRow(), static_cast<int>(row));
    Press(d.KeyButton(row), qtKey, scan, text);
}
KeyBinding Bound(const KeyBindings& keys, KeyAction row) {
    return keys[static_cast<size_t>(row)];
}

TEST(KeyDialogTest, ARowTakesTheKeyPressedAndKeysInUseAreRefusedByName) {
    KeyDialog d(KeyBindings{});
    EXPECT_EQ(d.KeyButton(KeyAction::Player1Up)->text(), QStringLiteral("A"));
    ChooseKey(d, KeyAction::Player2Down, Qt::Key_Q, kScanQ, QStringLiteral("q"));
    EXPECT_EQ(d.WaitingRow(), -1);
    EXPECT_EQ(Bound(d.Bindings(), KeyAction::Player2Down), (KeyBinding{kScanQ, "Q"}));
    EXPECT_EQ(d.KeyButton(KeyAction::Player2Down)->text(), QStringLiteral("Q"));

    struct Refusal {
        int qtKey;
        uint32_t scan;
        const char* text;
        const char* namedUse;
    } refusals[] = {
        {Qt::Key_Z, kScanZ, "z", "1P 下"},
        {Qt::Key_Q, kScanQ, "q", "2P 下"},
        {Qt::Key_R, kScanR, "r", "ゲームの再開 (R)"},
        {Qt::Key_F11, kScanF11, "", "F11"},
    };
    for (const Refusal& r : refusals) {
        ChooseKey(d, KeyAction::Player1Up, r.qtKey, r.scan, QString::fromUtf8(r.text));
        EXPECT_TRUE(d.LastRefusal().contains(QString::fromUtf8(r.namedUse))) << d.LastRefusal().toStdString();
        EXPECT_EQ(Bound(d.Bindings(), KeyAction::Player1Up), KeyBinding{}) << r.namedUse;
        EXPECT_EQ(d.WaitingRow(), -1);
    }
    // The key left of Z lost its use when player 2 down moved to Q.
    ChooseKey(d, KeyAction::Player1Up, Qt::Key_Less, kScanLess, QStringLiteral("<"));
    EXPECT_EQ(Bound(d.Bindings(), KeyAction::Player1Up), (KeyBinding{kScanLess, "<"}));
    // Esc gives up waiting and changes nothing.
    d.KeyButton(KeyAction::Pause)->click();
    Press(d.KeyButton(KeyAction::Pause), Qt::Key_Escape, 9);
    EXPECT_EQ(d.WaitingRow(), -1);
    EXPECT_EQ(Bound(d.Bindings(), KeyAction::Pause), KeyBinding{});

    d.DefaultsButton()->click();
    EXPECT_EQ(d.Bindings(), KeyBindings{});
    EXPECT_EQ(d.KeyButton(KeyAction::Player2Down)->text(), KeyDialog::KeyName(KeyAction::Player2Down, {}));
}

struct ShellFixture : ::testing::Test {
    QtHost windowHost;
    testing::RealScreenHarness h{1, &windowHost};
    Game& g = h.g();
    std::unique_ptr<MainWindow> form;
    ShellFixture() {
        SaveNewOptions(NewOptions{});
        form = std::make_unique<MainWindow>(g, windowHost);
        form->Start();
    }
    ~ShellFixture() override {
        form.reset();
        SaveNewOptions(NewOptions{});
    }
    testing::Bytes Record() { return testing::ReadBytes(h.tg.DatSettings()); }
};

TEST_F(ShellFixture, ChosenKeysAreKeptInTheSettingsFileAndPlayTheNextMatch) {
    form->RunMenuCommand(MenuId::Menuscr2);  // writes the 31-byte record
    const testing::Bytes record = Record();
    ASSERT_EQ(record.size(), 31u);

    form->Menus()->Action(MenuId::MenuKeys)->trigger();
    KeyDialog* d = form->KeysDialog();
    ASSERT_NE(d, nullptr);
    ChooseKey(*d, KeyAction::Player2Down, Qt::Key_Q, kScanQ, QStringLiteral("q"));
    d->OkButton()->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(form->KeysDialog(), nullptr);

    EXPECT_TRUE(
        QFile::exists(qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/voltrax/voltrax.ini")));
    EXPECT_EQ(Bound(LoadNewOptions().keys, KeyAction::Player2Down), (KeyBinding{kScanQ, "Q"}));
    EXPECT_EQ(Record(), record) << "the options record keeps its bytes";

    g.ScreenState = screen_state::kPlaying;
    g.GameMode = 2;
    MainPictView* view = form->MainPict();
    Press(view, Qt::Key_Q, kScanQ, QStringLiteral("q"));
    EXPECT_EQ(g.KeyFlags[2], true) << "Q is player 2 down";
    Release(view, Qt::Key_Q, kScanQ);
    Press(view, Qt::Key_Less, kScanLess, QStringLiteral("<"));
    EXPECT_EQ(g.KeyFlags[2], false) << "the standard key is out of play";

    // The next start of the program reads them back.
    form = std::make_unique<MainWindow>(g, windowHost);
    EXPECT_EQ(Bound(form->Options().keys, KeyAction::Player2Down), (KeyBinding{kScanQ, "Q"}));
}

TEST_F(ShellFixture, FullScreenHidesTheMenuBarUntilAltAndIsRemembered) {
    form->show();
    const QRect normal = form->geometry();
    form->Menus()->Action(MenuId::MenuFullScreen)->trigger();
    EXPECT_TRUE(form->isFullScreen());
    EXPECT_TRUE(form->Menus()->Action(MenuId::MenuFullScreen)->isChecked());
    EXPECT_TRUE(LoadNewOptions().fullScreen);
    EXPECT_FALSE(form->menuBar()->isVisible());
    // The shortcuts stay with the window while the bar is hidden.
    EXPECT_TRUE(form->actions().contains(form->Menus()->Action(MenuId::MenuPause)));
    EXPECT_TRUE(
        form->Menus()->Action(MenuId::MenuFullScreen)->shortcuts().contains(QKeySequence(Qt::Key_F11)));

    MainPictView* view = form->MainPict();
    Press(view, Qt::Key_Alt, 64);
    EXPECT_TRUE(form->menuBar()->isVisible()) << "shown while Alt is held";
    Release(view, Qt::Key_Alt, 64);
    EXPECT_FALSE(form->menuBar()->isVisible());
    form->SetFullScreen(false);
    EXPECT_EQ(form->geometry(), normal) << "back to its size";
    form->SetFullScreen(true);

    form = std::make_unique<MainWindow>(g, windowHost);
    form->Start();
    EXPECT_TRUE(form->FullScreen()) << "remembered";
    form->SetFullScreen(false);
    EXPECT_FALSE(form->isFullScreen());
    EXPECT_FALSE(LoadNewOptions().fullScreen);
}

// The access letter of a caption, in capitals, or 0.
QChar AccessLetter(const QString& caption) {
    const qsizetype at = caption.indexOf(QLatin1Char('&'));
    return at < 0 || at + 1 >= caption.size() ? QChar() : caption.at(at + 1).toUpper();
}

bool HasJapanese(const QString& text) {
    for (QChar c : text)
        if (c.unicode() >= 0x3000) return true;
    return false;
}

TEST(TranslationTest, EnglishCaptionsKeepAccessLettersAndShortcutsAndJapaneseComesBack) {
    ASSERT_TRUE(UseLanguage("en"));
    MenuModel model;
    QMenuBar bar;
    auto* binding = new MenuBarBinding(model, &bar);
    for (const MenuItem& item : model.Items()) {
        if (item.separator) continue;
        const QString english = binding->Action(item.id)->text();
        const QString japanese = QString::fromUtf8(item.caption);
        EXPECT_FALSE(HasJapanese(english)) << item.name << ": " << english.toStdString();
        EXPECT_EQ(AccessLetter(english), AccessLetter(japanese)) << item.name;
    }
    EXPECT_EQ(binding->Action(MenuId::MenuPause)->shortcut(), QKeySequence(QStringLiteral("Ctrl+P")));
    // The dialogs and the captions made outside the menu table are translated too.
    KeyDialog keys(KeyBindings{});
    HelpWindow help(ReadMeFile("no such read me.txt"), QString());
    for (const QString& text : {keys.windowTitle(), keys.DefaultsButton()->text(), help.MRead()->text(),
                                help.MItem()->text(), MenuCaption("リプレイを見る(&W)..."),
                                QCoreApplication::translate("ReplayDialogs", "リプレイを見る"),
                                QCoreApplication::translate("MainWindow", "非アクティブ時は一時停止(&A)")})
        EXPECT_FALSE(HasJapanese(text)) << text.toStdString();

    ASSERT_TRUE(UseLanguage("ja"));
    EXPECT_EQ(MenuCaption("ゲーム(&G)"), QString::fromUtf8("ゲーム(&G)"));
    KeyDialog japanese(KeyBindings{});
    EXPECT_TRUE(HasJapanese(japanese.DefaultsButton()->text()));
}

}  // namespace
}  // namespace vx
