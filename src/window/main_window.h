// MainWindow: the main window. It shows MainPict, carries the menu bar mirrored from the
// game's menu model, turns key and mouse events into the game's handlers,
// reads the gamepads, pauses a match when the window goes to the background, and opens
// the help window and the about box.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QRect>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "frontend/key_translator.h"
#include "frontend/new_options.h"
#include "frontend/pad_input.h"
#include "help/read_me_text.h"

namespace vx {

struct Game;
class AboutBoxKeeper;
class KeyDialog;
class LanAnnouncer;
class MainPictView;
class MenuBarBinding;
class NetPlayKeeper;
class OnlineDialog;
class QtHost;
enum class MenuId : uint8_t;

class MainWindow : public QMainWindow {
  public:
    // host is the game's host: the window shows MainPict through it. The game and the host must outlive the
    // window. Start is separate so that the caller can check the pictures of the program folder first.
    MainWindow(Game& g, QtHost& host, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Start-up: settings, the title screen, and the opening music when it is on.
    void Start();

    // Start-up work the title does not need (the stage pictures, the audio device) runs
    // once the title is on screen: right after its first paint, before the first key,
    // click or menu command, or kOpeningMusicLatestMs after Start, whichever is first.
    // Steps run in the order given, once; add them before Start.
    void AddStepAfterTitleShown(std::function<void()> step);
    void FinishStartup();
    // When set, the opening music waits (without blocking) until this says the music can
    // open at once, rather than holding up the window while the SoundFont loads.
    std::function<bool()> musicReady;

    MainPictView* MainPict() const { return view_; }
    MenuBarBinding* Menus() const { return menus_; }
    QtHost* Host() const { return host_; }
    // Network play: the menu items' dialogs, --host and --join.
    NetPlayKeeper& NetPlay() const { return *netPlay_; }

    // ゲーム > オンライン対戦: the lobby server the dialog starts with. --lobby sets it for
    // this run; the settings file's (Online/Lobby) otherwise. The dialog while it is open.
    void SetLobby(const std::string& lobby) { lobby_ = lobby; }
    OnlineDialog* OnlineDialogShown() const;
    // Says on the local network that this program waits for a guest, while it does.
    LanAnnouncer& Announcer() const { return *lanAnnouncer_; }

    // The menu commands, by item (what the menu bar's actions call).
    void RunMenuCommand(MenuId id);

    // The options of the settings file as this window uses them.
    const NewOptions& Options() const { return options_; }
    // The key dialog while it is open (キー設定), else null. OK keeps its keys at once.
    KeyDialog* KeysDialog() const;
    // The help text the help command shows: the one of the menus' language.
    ReadMeFile HelpFile() const;

    // Full screen: the picture at the largest whole scale on black, the menu bar hidden
    // until Alt is held or F10 pressed. Remembered in the settings file.
    void SetFullScreen(bool on);
    // Qt talks Wayland: the compositor places and sizes windows itself.
    static bool OnWayland();
    bool FullScreen() const { return options_.fullScreen; }
    // Reads pads from source (which must outlive the window) from now on, between frames.
    void AttachPads(PadSource* source);
    // The check item under Options that turns pausing on focus loss on and off.
    QAction* PauseOnFocusLossAction() const { return pauseOnFocusLoss_; }
    // Options > ネット対戦: the network line's check item and the guest-on-the-left one.
    QAction* NetworkLineAction() const { return networkLine_; }
    QAction* GuestOnLeftAction() const { return guestOnLeft_; }

  protected:
    void changeEvent(QEvent* event) override;  // the window (de)activated
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;  // the window closed

  private:
    void KeyEvent(const KeyInput& key);
    void OpenKeyDialog();
    // In full screen the menu bar shows while Alt is held and from F10 until its menu
    // closes; true when the key was taken for that.
    bool MenuBarKey(const KeyInput& key);
    void HideMenuBarWhenIdle();
    void SaveOptions();
    void AddNetworkItems();
    void OpenOnlineDialog();
    void FollowLanAnnouncement();
    // The opening music of start-up, once: after the title's first paint or at the latest
    // kOpeningMusicLatestMs after Start, if nothing has opened music in between, and
    // once musicReady agrees (looking again every kOpeningMusicRetryMs meanwhile).
    void StartOpeningMusic(bool isRetry = false);
    void PollPads();

    Game& g_;
    MainPictView* view_;
    QtHost* host_;
    MenuBarBinding* menus_;
    std::unique_ptr<AboutBoxKeeper> about_;
    std::unique_ptr<NetPlayKeeper> netPlay_;
    KeyTranslator keys_;
    bool openingMusicDue_ = false;
    int openingMusicTries_ = 0;
    bool retryPending_ = false;
    std::vector<std::function<void()>> stepsAfterTitle_;
    bool startupFinished_ = false;
    NewOptions options_;
    QRect normalGeometry_;  // where the window was before full screen, to go back to
    QPointer<KeyDialog> keyDialog_;
    QPointer<OnlineDialog> onlineDialog_;
    std::string lobby_;
    std::unique_ptr<LanAnnouncer> lanAnnouncer_;
    QTimer lanTimer_;
    QAction* pauseOnFocusLoss_ = nullptr;
    QAction* networkLine_ = nullptr;
    QAction* guestOnLeft_ = nullptr;
    PadSource* pads_ = nullptr;
    PadInput padInput_;
    QTimer padTimer_;
};

}  // namespace vx
