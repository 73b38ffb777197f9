// The window's side of network play: "ネット対戦を開く(&N)..." asks for a port and waits
// for the other player in a dialog that can be cancelled (asking the router to map the
// port meanwhile, and naming the public address when it does), "ネット対戦に参加(&J)..."
// asks for the host's address; --host and --join do the same without asking.
// "観戦する(&V)..." (and --watch) asks for a host's address and shows its matches
// (WatchPlay) until the host ends or the watcher leaves. Online
// play (StartOnline: a room by code or a quick match through the lobby) waits in the
// same kind of dialog until the two programs found a path. Keeps the connection's link
// alive on a timer, shows the waiting line over the field while the match is frozen for
// the other player, and tells the player why it ended.
#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "frontend/online_connector.h"
#include "net/path_finder.h"

class QProgressDialog;
class QWidget;

namespace vx {

namespace net::ice {
class PortMapping;
}

struct Game;
class MainPictView;
class NetOverlay;
class NetPlay;
class WatchPlay;

class NetPlayKeeper : public QObject {
  public:
    // view: where the network line and the requests show (none without it).
    NetPlayKeeper(Game& g, QWidget* window, MainPictView* view = nullptr);
    ~NetPlayKeeper() override;

    // The menu items: ask, then open.
    void AskAndHost();
    void AskAndJoin();
    void AskAndWatch();
    // Open at once (the command line, and after the questions). False when a connection
    // is already open, the title is not on screen, or the link cannot be opened (the
    // reason goes to the player).
    bool Host(uint16_t port);
    bool Join(const std::string& address, uint16_t port);
    // Watches the matches of the host at address:port (the same conditions as Join).
    bool Watch(const std::string& address, uint16_t port);
    bool Watching() const { return watch_ != nullptr; }
    // ゲーム > stop while watching: back to the title.
    void StopWatching();  // Online play through the lobby: makes or joins a room, or asks for a quick match,
    // and waits (cancellable) until a path to the other player works; the match then
    // starts as over any network link. The room's maker prints "room CODE" on standard
    // output once the room exists. False when a connection is already open or the title
    // is not on screen; a failure later is told to the player.
    // ownDialogs false: whoever started it shows the progress and the failure (the online
    // dialog); the keeper then shows neither its waiting dialog nor a message box.
    bool StartOnline(const OnlineRequest& request, bool ownDialogs = true);
    // Why the last online attempt failed (reason kNone when it did not).
    const OnlineFailure& LastOnlineFailure() const { return onlineFailure_; }
    // The online attempt in progress or the one the current match came through, if any.
    const OnlineConnector* Online() const { return online_.get(); }
    // Gives up an online attempt that has not connected yet (leaving the lobby); a match
    // already under way is left alone.
    void CancelOnline();
    // The way the current connection goes, once connected.
    std::optional<net::PathKind> Path() const;

    bool verbose = false;  // --verbose: each network match's line on standard output
    bool Active() const { return play_ != nullptr || watch_ != nullptr; }
    const NetPlay* Play() const { return play_.get(); }

    // The options: the network line shown or not; the input delay, -1 automatic or
    // fixed frames. Both apply at once, also in a match.
    void SetLineShown(bool shown);
    void SetInputDelay(int frames);
    // The host on its stage select screen may give the guest the left side.
    bool MaySwapSides() const;
    bool GuestOnLeft() const;
    void SetGuestOnLeft(bool onLeft);
    // The host's answer to the guest's request (what the overlay's buttons do).
    void AnswerRequest(bool accept);
    const NetOverlay* Overlay() const { return overlay_.get(); }

  private:
    bool Open(bool host, const std::string& address, uint16_t port);
    // Asks for a host's address ("address" or "address:port"); false when the player
    // cancelled or typed one that cannot be used (told why).
    bool AskAddress(const QString& title, const QString& prompt, std::string& address, uint16_t& port);
    void Tick();
    void PollNow();
    // Online play: runs the connector; once it has the link, the NetPlay starts on it.
    void PollOnline();
    bool onlineOwnDialogs_ = true;
    OnlineFailure onlineFailure_;
    // The host's router: once it answered, names the public address.
    void PollMapping();
    void ShowWaiting(const QString& text);
    void UpdateWaiting();
    // The connection is over: the router's port and the lobby's room go, the title is plain.
    void EndConnection();
    // The window's title names the path of a connection and how many watch a host,
    // or the host being watched.
    void ShowPathInTitle();
    // Writes logged to standard error and shows shown, unless nobody is there to read it.
    void Tell(const std::string& logged, const QString& shown);
    void CloseWaiting();
    void ApplyOptions();

    Game& g_;
    QWidget* window_;
    std::unique_ptr<NetPlay> play_;
    std::unique_ptr<WatchPlay> watch_;
    QString watchedHost_;  // the address being watched, for the title
    // While watching, ゲーム > stop leaves and pause is off, whatever the screen.
    void KeepWatchingMenu();
    QTimer timer_;
    QPointer<QProgressDialog> waiting_;
    bool pollQueued_ = false;
    std::unique_ptr<NetOverlay> overlay_;
    bool lineShown_ = false;
    int inputDelay_ = -1;
    std::unique_ptr<OnlineConnector> online_;
    OnlineRequest::Kind onlineKind_ = OnlineRequest::Kind::kMakeRoom;
    bool codeShown_ = false;
    std::string statusLogged_;  // the connector's last words written to standard error
    bool mappingAnswered_ = false;
    std::unique_ptr<net::ice::PortMapping> mapping_;
    std::unique_ptr<net::ice::PortMapping> oldMapping_;  // being removed on its own thread
    QString waitingText_;                                // the wait's first line
    QString publicAddress_;                              // what the router mapped, if it did
    QString plainTitle_;                                 // the window's title before the path
};

}  // namespace vx
