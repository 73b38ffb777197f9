#include "window/form1.h"

#include <QCloseEvent>
#include <QEvent>
#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>
#include <QTimer>

#include "about/forms.h"
#include "core/game.h"
#include "core/wait_rule.h"
#include "frontend/keyboard.h"
#include "frontend/menu_commands.h"
#include "frontend/mouse.h"
#include "frontend/sys_data.h"
#include "frontend/title_screen.h"
#include "help/sub_form.h"
#include "sound/effects.h"
#include "sound/music.h"
#include "window/main_pict_view.h"
#include "window/menu_bar_builder.h"
#include "window/qt_host.h"
#include "window/replay_dialogs.h"

namespace vx {

namespace {
// Without a paint (a window never shown) the opening music starts this long after start-up.
constexpr int kOpeningMusicLatestMs = 1000;

QString DesignPicture(Game& g, const char* name) {
    return QString::fromStdString(g.files.Resolve(std::string("\\design\\") + name).string());
}
}  // namespace

Form1::Form1(Game& g, QWidget* parent) : QMainWindow(parent), g_(g) {
    setWindowTitle(QStringLiteral("VOLTRAX VER 2.1"));
    view_ = new MainPictView(&g.MainPict, this);
    setCentralWidget(view_);
    host_ = new QtHost(view_, this);
    host_->onTimer1 = [this] { Timer1_Timer(g_); };
    g.host = host_;

    menus_ = new MenuBarBinding(g.Menu, menuBar());
    menus_->onTriggered = [this](MenuId id) { RunMenuCommand(id); };

    Forms::Setup aboutSetup;
    aboutSetup.picturePath = DesignPicture(g, "About.bmp");
    aboutSetup.nowMs = [this] { return host_->NowMs(); };
    aboutSetup.playWave1 = [this] { PlayEffect(g_, "wave1", 1); };
    about_ = std::make_unique<AboutBoxKeeper>(aboutSetup);

    view_->onKey = [this](const KeyInput& key) { KeyEvent(key); };
    view_->onMouseDown = [this](const PictMouse& m) {
        MainPict_MouseDown(g_, static_cast<int16_t>(m.button), static_cast<int16_t>(m.shift), m.x, m.y);
    };
    view_->onMouseMove = [this](const PictMouse& m) {
        MainPict_MouseMove(g_, static_cast<int16_t>(m.button), static_cast<int16_t>(m.shift), m.x, m.y);
    };
    view_->onMouseUp = [this](const PictMouse& m) {
        MainPict_MouseUp(g_, static_cast<int16_t>(m.button), static_cast<int16_t>(m.shift), m.x, m.y);
    };
}

Form1::~Form1() {
    // The binding hands the model's change hook back; the game outlives this window.
    delete menus_;
    menus_ = nullptr;
    if (g_.host == host_) g_.host = nullptr;
}

void Form1::Form_Load() {
    // The picture at its design size; the window may be resized later.
    view_->setFocus();
    resize(sizeHint());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.x() + (area.width() - frameGeometry().width()) / 2,
             area.y() + (area.height() - frameGeometry().height()) / 2);
    }
    ApplySettings(g_);
    ShowTitle(g_, kTrue);
    // Opening music waits for the SoundFont, which may still be loading: the title goes on
    // screen first and the music follows as soon as it can.
    if (g_.Menu.Checked(MenuId::MenuMidi)) {
        openingMusicDue_ = true;
        view_->onPainted = [this] {
            view_->onPainted = nullptr;
            QTimer::singleShot(0, this, [this] { StartOpeningMusic(); });
        };
        QTimer::singleShot(kOpeningMusicLatestMs, this, [this] { StartOpeningMusic(); });
    }
}

void Form1::StartOpeningMusic() {
    if (!openingMusicDue_) return;
    openingMusicDue_ = false;
    view_->onPainted = nullptr;
    // Left alone if the player has already turned music off, or on again (which opened
    // it), or left the title, or the program is ending.
    if (host_->Ending() || g_.ScreenState != screen_state::kTitle || !g_.Menu.Checked(MenuId::MenuMidi) ||
        !g_.MusicPath.empty())
        return;
    StartMusic(g_, "\\dat\\opening.mid");
}

void Form1::KeyEvent(const KeyInput& key) {
    const int code = keys_.Translate(key);
    if (code == 0) return;
    if (key.isRelease)
        MainPict_KeyUp(g_, static_cast<int16_t>(code), 0);
    else
        MainPict_KeyDown(g_, static_cast<int16_t>(code), 0);
}

void Form1::RunMenuCommand(MenuId id) {
    switch (id) {
        case MenuId::MenuVSCPU: MenuVSCPU_Click(g_); break;
        case MenuId::MenuVS2P: MenuVS2P_Click(g_); break;
        case MenuId::MenuPause: MenuPause_Click(g_); break;
        case MenuId::MenuRePlay: MenuRePlay_Click(g_); break;
        case MenuId::MenuGameStop: MenuGameStop_Click(g_); break;
        case MenuId::MenuEnd: MenuEnd_Click(g_); break;
        case MenuId::Menutime1: Menutime_Click(g_, 1); break;
        case MenuId::Menutime2: Menutime_Click(g_, 2); break;
        case MenuId::Menutime3: Menutime_Click(g_, 3); break;
        case MenuId::Menuscr1: Menuscr_Click(g_, 1); break;
        case MenuId::Menuscr2: Menuscr_Click(g_, 2); break;
        case MenuId::Menuscr3: Menuscr_Click(g_, 3); break;
        case MenuId::MenuDiffMode1: MenuDiffMode_Click(g_, 1); break;
        case MenuId::MenuDiffMode2: MenuDiffMode_Click(g_, 2); break;
        case MenuId::MenuDiffMode3: MenuDiffMode_Click(g_, 3); break;
        case MenuId::MenuWave: MenuWave_Click(g_); break;
        case MenuId::MenuMidi: MenuMidi_Click(g_); break;
        case MenuId::MenuVXHelp:
            ShowHelp(this, g_.files.Resolve("\\read me.txt"), DesignPicture(g_, "Items.bmp"));
            break;
        case MenuId::MenuVer: about_->ShowVersion(); break;
        case MenuId::MenuWatch: ChooseAndWatchReplay(g_, this); break;
        default: break;
    }
}

void Form1::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) about_->Unload();
    QMainWindow::changeEvent(event);
}

void Form1::resizeEvent(QResizeEvent* event) {
    about_->Unload();
    QMainWindow::resizeEvent(event);
}

void Form1::closeEvent(QCloseEvent* event) {
    about_->Unload();
    if (!host_->Ending()) EndTheProgram(g_);
    event->accept();
}

}  // namespace vx
