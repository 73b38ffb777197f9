// The window's side of network play: "ネット対戦を開く(&N)..." asks for a port and waits
// for the other player in a dialog that can be cancelled, "ネット対戦に参加(&J)..." asks
// for the host's address; --host and --join do the same without asking. Keeps the
// connection's link alive on a timer, shows the waiting line over the field while the
// match is frozen for the other player, and tells the player why it ended.
#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <cstdint>
#include <memory>
#include <string>

class QProgressDialog;
class QWidget;

namespace vx {

struct Game;
struct OnlineRequest;
class OnlineConnector;
class MainPictView;
class NetOverlay;
class NetPlay;

class NetPlayKeeper : public QObject {
  public:
    // view: where the network line and the requests show (none without it).
    NetPlayKeeper(Game& g, QWidget* window, MainPictView* view = nullptr);
    ~NetPlayKeeper() override;

    // The menu items: ask, then open.
    void AskAndHost();
    void AskAndJoin();
    // Open at once (the command line, and after the questions). False when a connection
    // is already open, the title is not on screen, or the link cannot be opened (the
    // reason goes to the player).
    bool Host(uint16_t port);
    bool Join(const std::string& address, uint16_t port);

    // Online play through the lobby (room code or quick match): start an attempt, the
    // attempt under way (null for none), give it up.
    bool StartOnline(const OnlineRequest& request);
    const OnlineConnector* Online() const;
    void CancelOnline();

    bool verbose = false;  // --verbose: each network match's line on standard output
    bool Active() const { return play_ != nullptr; }
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
    void Tick();
    void PollNow();
    // Writes logged to standard error and shows shown, unless nobody is there to read it.
    void Tell(const std::string& logged, const QString& shown);
    void CloseWaiting();
    void ApplyOptions();

    Game& g_;
    QWidget* window_;
    std::unique_ptr<NetPlay> play_;
    QTimer timer_;
    QPointer<QProgressDialog> waiting_;
    bool pollQueued_ = false;
    std::unique_ptr<NetOverlay> overlay_;
    bool lineShown_ = false;
    int inputDelay_ = -1;
};

}  // namespace vx
