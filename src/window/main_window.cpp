#include "window/main_window.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTimer>

#include <iostream>

#include "about/about_box.h"
#include "core/game.h"
#include "frontend/keyboard.h"
#include "frontend/menu_commands.h"
#include "frontend/mouse.h"
#include "frontend/net_play.h"
#include "frontend/online_connector.h"
#include "frontend/sys_data.h"
#include "frontend/title_screen.h"
#include "help/help_window.h"
#include "platform/asset_paths.h"
#include "platform/version.h"
#include "sound/effects.h"
#include "sound/music.h"
#include "window/key_dialog.h"
#include "window/lan_games.h"
#include "window/main_pict_view.h"
#include "window/menu_bar_builder.h"
#include "window/net_dialogs.h"
#include "window/online_dialog.h"
#include "window/options_store.h"
#include "window/qt_host.h"
#include "window/replay_dialogs.h"
#include "window/ui_translation.h"

namespace vx {

namespace {
// Without a paint (a window never shown) start-up finishes and the opening music starts
// this long after Start.
constexpr int kOpeningMusicLatestMs = 1000;
// While the SoundFont loads the opening music looks again this often, for up to 10 s.
constexpr int kOpeningMusicRetryMs = 20;
constexpr int kOpeningMusicTries = 500;
// Pads are read twice a frame while one is plugged in; without one, only new pads are
// looked for, a few times a second.
constexpr int kPadPollMs = 15;
constexpr int kPadLookoutMs = 500;
// How often the window looks whether it waits for a guest that the local network should
// hear of.
constexpr int kLanFollowMs = 1000;

QString DesignPicture(Game& g, const char* gamePath) {
    return QString::fromStdString(g.files.Resolve(gamePath).string());
}
}  // namespace

MainWindow::MainWindow(Game& g, QtHost& host, QWidget* parent) : QMainWindow(parent), g_(g), host_(&host) {
    setWindowTitle(QStringLiteral("VOLTRAX VER " VOLTRAX_VERSION_TEXT));
    view_ = new MainPictView(&g.MainPict, this);
    setCentralWidget(view_);
    host_->ShowOn(view_);

    menus_ = new MenuBarBinding(g.Menu, menuBar());
    menus_->onTriggered = [this](MenuId id) { RunMenuCommand(id); };
    menus_->Action(MenuId::MenuFullScreen)
        ->setShortcuts({QKeySequence(Qt::Key_F11), QKeySequence(Qt::ALT | Qt::Key_Return),
                        QKeySequence(Qt::ALT | Qt::Key_Enter)});
    // The window carries every command with a shortcut too, so the shortcuts work while
    // the menu bar is hidden in full screen.
    for (const MenuItem& item : g.Menu.Items()) {
        QAction* action = menus_->Action(item.id);
        if (action != nullptr && action->menu() == nullptr && !action->shortcuts().isEmpty())
            addAction(action);
        if (item.parent == item.id && action != nullptr)
            connect(action->menu(), &QMenu::aboutToHide, this,
                    [this] { QTimer::singleShot(0, this, [this] { HideMenuBarWhenIdle(); }); });
    }
    options_ = LoadNewOptions();
    lobby_ = options_.lobby;
    keys_.SetBindings(options_.keys);
    if (QMenu* optionsMenu = menus_->Action(MenuId::MenuOpt)->menu()) {
        optionsMenu->addSeparator();
        pauseOnFocusLoss_ =
            optionsMenu->addAction(QCoreApplication::translate("MainWindow", "非アクティブ時は一時停止(&A)"));
        pauseOnFocusLoss_->setCheckable(true);
        pauseOnFocusLoss_->setChecked(options_.pauseOnFocusLoss);
        connect(pauseOnFocusLoss_, &QAction::toggled, this, [this](bool on) {
            options_.pauseOnFocusLoss = on;
            SaveOptions();
        });
    }
    connect(&padTimer_, &QTimer::timeout, this, [this] { PollPads(); });

    AboutBox::Setup aboutSetup;
    aboutSetup.picturePath = DesignPicture(g, asset::kAboutPicture);
    aboutSetup.nowMs = [this] { return host_->NowMs(); };
    aboutSetup.playWave1 = [this] { PlayEffect(g_, effect::kPaddleHit, effect_mode::kStart); };
    about_ = std::make_unique<AboutBoxKeeper>(aboutSetup);
    netPlay_ = std::make_unique<NetPlayKeeper>(g_, this, view_);
    AddNetworkItems();
    lanAnnouncer_ = std::make_unique<LanAnnouncer>();
    connect(&lanTimer_, &QTimer::timeout, this, [this] { FollowLanAnnouncement(); });
    lanTimer_.start(kLanFollowMs);

    view_->onKey = [this](const KeyInput& key) { KeyEvent(key); };
    view_->onMouseDown = [this](const PictMouse& m) {
        FinishStartup();
        OnPointerDown(g_, static_cast<int16_t>(m.button), static_cast<int16_t>(m.shift), m.x, m.y);
    };
    view_->onMouseMove = [this](const PictMouse& m) {
        FinishStartup();
        OnPointerMove(g_, static_cast<int16_t>(m.button), static_cast<int16_t>(m.shift), m.x, m.y);
    };
    view_->onMouseUp = [this](const PictMouse& m) {
        FinishStartup();
        OnPointerUp(g_, static_cast<int16_t>(m.button), static_cast<int16_t>(m.shift), m.x, m.y);
    };
}

MainWindow::~MainWindow() {
    // A network connection says goodbye to the other side before the window goes.
    netPlay_.reset();
    // The binding hands the model's change hook back; the game outlives this window.
    delete menus_;
    menus_ = nullptr;
    // The host outlives this window: unless a newer window has taken it over, it must no
    // longer show on this view or call back here.
    if (host_->ShownOn() == view_) {
        host_->ShowOn(nullptr);
    }
}

void MainWindow::Start() {
    // The picture at scale 1, centred on the screen; the window may be resized later.
    view_->setFocus();
    resize(sizeHint());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.x() + (area.width() - frameGeometry().width()) / 2,
             area.y() + (area.height() - frameGeometry().height()) / 2);
    }
    ApplySettings(g_);
    if (options_.fullScreen) SetFullScreen(true);
    ShowTitle(g_, true);
    // The rest of start-up, and the opening music, wait until the title is on screen
    // (the music also waits for the SoundFont).
    openingMusicDue_ = g_.Menu.Checked(MenuId::MenuMidi);
    view_->onPainted = [this] {
        view_->onPainted = nullptr;
        QTimer::singleShot(0, this, [this] {
            FinishStartup();
            StartOpeningMusic();
        });
    };
    QTimer::singleShot(kOpeningMusicLatestMs, this, [this] {
        FinishStartup();
        StartOpeningMusic();
    });
}

void MainWindow::AddStepAfterTitleShown(std::function<void()> step) {
    stepsAfterTitle_.push_back(std::move(step));
}

void MainWindow::FinishStartup() {
    if (startupFinished_) return;
    startupFinished_ = true;
    view_->onPainted = nullptr;
    for (const auto& step : stepsAfterTitle_) {
        if (host_->Ending()) break;
        step();
    }
    stepsAfterTitle_.clear();
}

void MainWindow::StartOpeningMusic(bool isRetry) {
    if (!openingMusicDue_ || (retryPending_ && !isRetry)) return;
    retryPending_ = false;
    // Left alone if the player has already turned music off, or on again (which opened
    // it), or left the title, or the program is ending.
    if (host_->Ending() || g_.ScreenState != screen_state::kTitle || !g_.Menu.Checked(MenuId::MenuMidi) ||
        !g_.MusicPath.empty()) {
        openingMusicDue_ = false;
        return;
    }
    if (musicReady && !musicReady() && ++openingMusicTries_ < kOpeningMusicTries) {
        retryPending_ = true;
        QTimer::singleShot(kOpeningMusicRetryMs, this, [this] { StartOpeningMusic(true); });
        return;
    }
    openingMusicDue_ = false;
    StartMusic(g_, Tune::kOpening);
}

void MainWindow::KeyEvent(const KeyInput& key) {
    FinishStartup();
    if (MenuBarKey(key)) return;
    const int code = keys_.Translate(key);
    if (code == 0) return;
    if (key.isRelease)
        OnKeyUp(g_, static_cast<int16_t>(code), 0);
    else
        OnKeyDown(g_, static_cast<int16_t>(code), key.shift ? 1 : 0);
}

void MainWindow::AttachPads(PadSource* source) {
    pads_ = source;
    padTimer_.start(kPadLookoutMs);
    PollPads();
}

// The poll only reads the pads; the game acts on the reading from the event queue, so
// that a match it starts or resumes runs outside this timer's call and the timer keeps
// firing during it.
void MainWindow::PollPads() {
    if (pads_ == nullptr || host_->Ending()) return;
    PadReadings readings = pads_->Poll();
    const int interval = readings.empty() ? kPadLookoutMs : kPadPollMs;
    if (padTimer_.interval() != interval) padTimer_.setInterval(interval);
    QMetaObject::invokeMethod(
        this,
        [this, readings = std::move(readings)] {
            if (!host_->Ending()) padInput_.Apply(g_, readings);
        },
        Qt::QueuedConnection);
}

void MainWindow::RunMenuCommand(MenuId id) {
    FinishStartup();
    switch (id) {
        case MenuId::MenuVSCPU: StartVsCpu(g_); break;
        case MenuId::MenuVS2P: StartVs2P(g_); break;
        case MenuId::MenuPause: PauseMatch(g_); break;
        case MenuId::MenuRePlay: ResumePausedMatch(g_); break;
        case MenuId::MenuGameStop:
            // A watcher leaves the match it watches; a player stops a paused match.
            if (netPlay_->Watching())
                netPlay_->StopWatching();
            else
                StopPausedMatch(g_);
            break;
        case MenuId::MenuEnd: QuitProgram(g_); break;
        case MenuId::Menutime1: ChooseTimeLimit(g_, 1); break;
        case MenuId::Menutime2: ChooseTimeLimit(g_, 2); break;
        case MenuId::Menutime3: ChooseTimeLimit(g_, 3); break;
        case MenuId::Menuscr1: ChooseScoreLimit(g_, 1); break;
        case MenuId::Menuscr2: ChooseScoreLimit(g_, 2); break;
        case MenuId::Menuscr3: ChooseScoreLimit(g_, 3); break;
        case MenuId::MenuDiffMode1: ChooseDifficulty(g_, 1); break;
        case MenuId::MenuDiffMode2: ChooseDifficulty(g_, 2); break;
        case MenuId::MenuDiffMode3: ChooseDifficulty(g_, 3); break;
        case MenuId::MenuWave: ToggleEffects(g_); break;
        case MenuId::MenuMidi: ToggleMusic(g_); break;
        case MenuId::MenuVXHelp: ShowHelp(this, HelpFile(), DesignPicture(g_, asset::kItemsPicture)); break;
        case MenuId::MenuVer: about_->ShowVersion(); break;
        case MenuId::MenuKeys: OpenKeyDialog(); break;
        case MenuId::MenuFullScreen: SetFullScreen(!options_.fullScreen); break;
        case MenuId::MenuWatch: ChooseAndWatchReplay(g_, this); break;
        case MenuId::MenuNetHost: netPlay_->AskAndHost(); break;
        case MenuId::MenuNetJoin: netPlay_->AskAndJoin(); break;
        case MenuId::MenuNetWatch: netPlay_->AskAndWatch(); break;
        case MenuId::MenuNetOnline: OpenOnlineDialog(); break;
        default: break;
    }
}

ReadMeFile MainWindow::HelpFile() const {
    return ReadMeFileFor(CurrentLanguage(), g_.files);
}

// Options > ネット対戦: the network line (Ctrl+I, also in a match), the input delay and,
// for the host choosing the stage, the guest on the left (Ctrl+L). The first two are
// kept in voltrax.ini.
void MainWindow::AddNetworkItems() {
    QMenu* optionsMenu = menus_->Action(MenuId::MenuOpt)->menu();
    if (optionsMenu == nullptr) return;
    QMenu* net = optionsMenu->addMenu(QCoreApplication::translate("MainWindow", "ネット対戦(&E)"));
    networkLine_ = net->addAction(QCoreApplication::translate("MainWindow", "通信状況を表示(&I)"));
    networkLine_->setCheckable(true);
    networkLine_->setChecked(options_.networkLine);
    networkLine_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
    addAction(networkLine_);  // the shortcut works in full screen too
    connect(networkLine_, &QAction::toggled, this, [this](bool on) {
        options_.networkLine = on;
        netPlay_->SetLineShown(on);
        SaveOptions();
    });
    QMenu* delay = net->addMenu(QCoreApplication::translate("MainWindow", "入力遅延(&D)"));
    auto* delays = new QActionGroup(delay);
    for (int frames = -1; frames <= kMaxFixedInputDelay; ++frames) {
        const QString caption =
            frames < 0 ? QCoreApplication::translate("MainWindow", "自動(&A)")
                       : QCoreApplication::translate("MainWindow", "%1 フレーム(&%1)").arg(frames);
        QAction* item = delay->addAction(caption);
        item->setCheckable(true);
        item->setChecked(frames == options_.inputDelay);
        delays->addAction(item);
        connect(item, &QAction::triggered, this, [this, frames] {
            options_.inputDelay = frames;
            netPlay_->SetInputDelay(frames);
            SaveOptions();
        });
    }
    guestOnLeft_ = net->addAction(QCoreApplication::translate("MainWindow", "相手を左側 (1P) にする(&L)"));
    guestOnLeft_->setCheckable(true);
    guestOnLeft_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    addAction(guestOnLeft_);
    // The shortcut works only where the item may be used; it flips the side each time.
    connect(guestOnLeft_, &QAction::triggered, this, [this] {
        netPlay_->SetGuestOnLeft(!netPlay_->GuestOnLeft());
        guestOnLeft_->setChecked(netPlay_->GuestOnLeft());
    });
    connect(net, &QMenu::aboutToShow, this, [this] {
        guestOnLeft_->setEnabled(netPlay_->MaySwapSides());
        guestOnLeft_->setChecked(netPlay_->GuestOnLeft());
    });
    netPlay_->SetLineShown(options_.networkLine);
    netPlay_->SetInputDelay(options_.inputDelay);
}

OnlineDialog* MainWindow::OnlineDialogShown() const {
    return onlineDialog_.data();
}

// The dialog asks; the network keeper makes the attempt and the connection.
void MainWindow::OpenOnlineDialog() {
    if (g_.ScreenState != screen_state::kTitle || netPlay_->Active()) return;
    if (onlineDialog_ != nullptr) {
        onlineDialog_->raise();
        onlineDialog_->activateWindow();
        return;
    }
    OnlineDialogHooks hooks;
    hooks.start = [this](const OnlineRequest& request) { return netPlay_->StartOnline(request, false); };
    hooks.progress = [this] {
        OnlineProgress now;
        if (const OnlineConnector* online = netPlay_->Online()) {
            now.active = true;
            now.stage = online->GetStage();
            now.code = online->Code();
            now.words = online->StatusWords();
            now.failure = online->WhyFailed();
        } else if (netPlay_->LastOnlineFailure().reason != OnlineFailReason::kNone) {
            // The keeper let the failed attempt go; its words stay for the dialog.
            now.active = true;
            now.stage = OnlineConnector::Stage::kFailed;
            now.failure = netPlay_->LastOnlineFailure();
        }
        return now;
    };
    hooks.cancel = [this] { netPlay_->CancelOnline(); };
    hooks.joinAddress = [this](const std::string& address, uint16_t port) {
        return netPlay_->Join(address, port);
    };
    // A lobby typed in is kept for next time; one from --lobby only when it was used.
    hooks.keepLobby = [this](const std::string& lobby) {
        lobby_ = lobby;
        if (options_.lobby == lobby) return;
        options_.lobby = lobby;
        SaveOptions();
    };
    onlineDialog_ = new OnlineDialog(std::move(hooks), this);
    onlineDialog_->setAttribute(Qt::WA_DeleteOnClose);
    onlineDialog_->SetLobby(lobby_);
    onlineDialog_->open();
}

// A host waiting by address or in its own room is announced; anything else is not.
void MainWindow::FollowLanAnnouncement() {
    const vx::NetPlay* play = netPlay_->Play();
    const OnlineConnector* online = netPlay_->Online();
    if (play != nullptr && play->IsHost() && !play->Connected())
        lanAnnouncer_->Start(play->Port(), g_.StageNo);
    else if (play == nullptr && online != nullptr && online->IsHost() &&
             online->GetStage() == OnlineConnector::Stage::kWaiting && !online->Code().empty())
        lanAnnouncer_->Start(0, g_.StageNo, online->Code());
    else
        lanAnnouncer_->Stop();
}

KeyDialog* MainWindow::KeysDialog() const {
    return keyDialog_.data();
}

void MainWindow::OpenKeyDialog() {
    if (keyDialog_ != nullptr) {
        keyDialog_->raise();
        keyDialog_->activateWindow();
        return;
    }
    // Opened, not run: the game's loops keep their events while it is up.
    keyDialog_ = new KeyDialog(options_.keys, this);
    keyDialog_->setAttribute(Qt::WA_DeleteOnClose);
    connect(keyDialog_, &QDialog::accepted, this, [this] {
        options_.keys = keyDialog_->Bindings();
        keys_.SetBindings(options_.keys);
        SaveOptions();
    });
    keyDialog_->open();
}

bool MainWindow::OnWayland() {
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

void MainWindow::SetFullScreen(bool on) {
    options_.fullScreen = on;
    g_.Menu.SetChecked(MenuId::MenuFullScreen, on);
    if (on) {
        if (!isFullScreen()) normalGeometry_ = geometry();
        menuBar()->hide();
        showFullScreen();
        // Without an X window manager to honour the full-screen state, cover the screen
        // anyway (setting the geometry clears the state, so it is set again). A Wayland
        // compositor always honours it, and there a geometry of our own would undo it.
        if (const QScreen* shown = screen(); shown != nullptr && !OnWayland()) {
            setGeometry(shown->geometry());
            setWindowState(windowState() | Qt::WindowFullScreen);
        }
    } else {
        showNormal();
        menuBar()->show();
        // Without an X window manager nothing else gives the window its size back.
        if (normalGeometry_.isValid() && !OnWayland()) setGeometry(normalGeometry_);
    }
    view_->setFocus();
    SaveOptions();
}

bool MainWindow::MenuBarKey(const KeyInput& key) {
    if (!options_.fullScreen || key.isAutoRepeat) return false;
    if (key.qtKey == Qt::Key_Alt) {
        if (!key.isRelease)
            menuBar()->show();
        else
            HideMenuBarWhenIdle();
        return true;
    }
    if (key.qtKey == Qt::Key_F10) {
        if (!key.isRelease) {
            menuBar()->show();
            menuBar()->setActiveAction(menuBar()->actions().value(0));
        }
        return true;
    }
    return false;
}

void MainWindow::HideMenuBarWhenIdle() {
    if (!options_.fullScreen || menuBar()->activeAction() != nullptr) return;
    menuBar()->hide();
    view_->setFocus();
}

void MainWindow::SaveOptions() {
    if (!SaveNewOptions(options_))
        std::cerr << "voltrax: cannot write " << NewOptionsPath().toStdString() << "\n";
}

void MainWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) about_->Unload();
    if ((event->type() == QEvent::ActivationChange && !isActiveWindow()) ||
        (event->type() == QEvent::WindowStateChange && isMinimized()))
        PauseForFocusLoss(g_, options_);
    QMainWindow::changeEvent(event);
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    about_->Unload();
    QMainWindow::resizeEvent(event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    about_->Unload();
    if (!host_->Ending()) EndTheProgram(g_);
    event->accept();
}

}  // namespace vx
