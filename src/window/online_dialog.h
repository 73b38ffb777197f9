// ゲーム > オンライン対戦(&O)...: one dialog for every way to find the other player. With
// a lobby server (host[:port]): make a room and read its code out, join a room by its
// code, or quick match; without one those wait for an address and a line says so. Below,
// the games heard on this network, joined by address (or by room code) with a
// double-click or Enter. The dialog only asks: what it asks for goes to its hooks, and
// it follows the attempt by polling them; a failure shows in red and the player may try
// again; once connected it closes.
#pragma once

#include <QDialog>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "frontend/lan_announcement.h"
#include "frontend/online_connector.h"
#include "window/lan_games.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace vx {

// Where an attempt through the lobby stands, as the dialog polls it.
struct OnlineProgress {
    bool active = false;  // an attempt was started and not cancelled
    OnlineConnector::Stage stage = OnlineConnector::Stage::kLobby;
    std::string code;       // the room's code once known
    std::string words;      // what is happening, in English (for standard error)
    OnlineFailure failure;  // why it failed, for kFailed
};

// Why an online attempt failed, in the interface's language.
QString OnlineFailureText(const OnlineFailure& failure);

struct OnlineDialogHooks {
    // Make a room, join one or quick match: false when it cannot start at all.
    std::function<bool(const OnlineRequest&)> start;
    std::function<OnlineProgress()> progress;
    // Gives up the attempt under way.
    std::function<void()> cancel;
    // Joins a game heard on this network by its address: false when it cannot start.
    std::function<bool(const std::string& address, uint16_t port)> joinAddress;
    // The lobby field's text when an attempt starts with it, to keep for next time.
    std::function<void(const std::string& lobby)> keepLobby;
};

class OnlineDialog : public QDialog {
  public:
    static constexpr int kPollMs = 100;

    // lanPort: where games on this network are listened for (tests choose their own).
    explicit OnlineDialog(OnlineDialogHooks hooks, QWidget* parent = nullptr,
                          uint16_t lanPort = kLanDiscoveryPort);
    ~OnlineDialog() override;

    // The lobby server's address the field starts with (the settings file's or --lobby).
    void SetLobby(const std::string& lobby);
    std::string Lobby() const;

    // Looks at the attempt and the games heard now, rather than at the next poll.
    void PollNow();

    // The parts, for the tests and the screenshots.
    QLineEdit* LobbyField() const { return lobby_; }
    QLabel* NoLobbyLine() const { return noLobby_; }
    QPushButton* MakeRoomButton() const { return makeRoom_; }
    QLineEdit* CodeField() const { return codeField_; }
    QPushButton* JoinButton() const { return join_; }
    QPushButton* QuickMatchButton() const { return quickMatch_; }
    QLabel* CodeShown() const { return codeShown_; }
    QPushButton* CopyButton() const { return copy_; }
    QLabel* StatusLine() const { return status_; }
    QLabel* FailureLine() const { return failure_; }
    QListWidget* LanList() const { return lanList_; }
    QPushButton* CloseButton() const { return close_; }

    void reject() override;  // Esc and the window's close: gives up an attempt too

  private:
    void Start(OnlineRequest::Kind kind, const std::string& code = {});
    void JoinLanGame(int row);
    void CancelOrClose();
    void ShowFailure(const QString& text);
    // Shows the room's code large, or hides it and gives back the height it took.
    void ShowCode(const std::string& code);
    void HideCode();
    void UpdateEnabled();
    void UpdateLanList();

    OnlineDialogHooks hooks_;
    std::unique_ptr<LanListener> listener_;
    QTimer poll_;
    bool trying_ = false;  // an attempt through the lobby is under way
    bool making_ = false;  // ... and it is our room
    std::string shownCode_;
    int heightWithoutCode_ = 0;       // the dialog's height before the code box showed
    std::vector<LanEntry> lanGames_;  // the list's rows, as shown

    QLineEdit* lobby_ = nullptr;
    QLabel* noLobby_ = nullptr;
    QPushButton* makeRoom_ = nullptr;
    QLineEdit* codeField_ = nullptr;
    QPushButton* join_ = nullptr;
    QPushButton* quickMatch_ = nullptr;
    QWidget* codeBox_ = nullptr;
    QLabel* codeShown_ = nullptr;
    QPushButton* copy_ = nullptr;
    QLabel* status_ = nullptr;
    QLabel* failure_ = nullptr;
    QListWidget* lanList_ = nullptr;
    QLabel* lanEmpty_ = nullptr;
    QPushButton* close_ = nullptr;
};

}  // namespace vx
