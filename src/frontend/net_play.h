// Network play in the window: one connection to the other player's program, from the
// handshake to the return to the title. The host chooses the stage and what follows each
// result; the guest waits and follows, and may ask for a retry or the stage select. The
// host plays on the left (player 1) unless it lets the guest have that side. Each match
// is a NetMatch that the match loop steps through this object.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "core/match_frame_source.h"
#include "net/enet_link.h"
#include "net/link.h"
#include "net/net_match.h"
#include "net/net_peer.h"
#include "net/path_finder.h"
#include "net/watch_server.h"
#include "platform/clock.h"

namespace vx {

struct Game;

// "47150" → 47150; false with a reason for anything but a number 0..65535.
bool ParseNetPort(std::string_view text, uint16_t& port, std::string& error);
// "host", "host:port", "192.168.1.20:47151" → address and port (47150 when not given).
bool ParseJoinAddress(std::string_view text, std::string& address, uint16_t& port, std::string& error);
// The path of a match joined by address: lan for a loopback, private, link-local or
// unique-local address (and "localhost"), direct for any other.
net::PathKind PathToAddress(std::string_view address);

class NetPlay : public MatchFrameSource {
  public:
    // Opens the link: as the host on port (0: any free port), or joining address:port.
    // Null with a reason in error when the link cannot be opened.
    static std::unique_ptr<NetPlay> Open(Game& g, bool host, const std::string& address, uint16_t port,
                                         std::string& error);
    // Plays over a link already made (online play: the path the lobby's two sides found),
    // as the host (the room's maker) or the guest.
    static std::unique_ptr<NetPlay> Over(Game& g, std::unique_ptr<net::Link> link, bool host,
                                         net::PathKind path);
    // Tells the other side this one leaves (if it is still there) and keeps the replay
    // of a match cut short.
    ~NetPlay() override;

    // Call often from the window's event loop, also while a match runs (it then only
    // keeps the link alive). Finishes the handshake, then opens the session (host: the
    // stage select screen; guest: a waiting screen), follows the other side's choices,
    // pauses, resumes and stops, and goes back to the title when the link ends.
    void Poll();
    // Only keeps the link alive: safe to call at any time, also from inside a match.
    void Pump();

    bool IsHost() const { return host_; }
    // The UDP port a host opened by Open() waits on; 0 for a guest and a link made elsewhere.
    uint16_t Port() const { return port_; }
    // How many watch the matches of a host opened by Open(), or of a room's maker (up to
    // net::kMaxWatchers).
    std::size_t Watchers() const { return watchServer_ ? watchServer_->Watchers() : 0; }
    // The way the match goes: named at the end of each --verbose line.
    net::PathKind Path() const { return path_; }
    void SetPath(net::PathKind path) { path_ = path; }
    bool Connected() const { return session_; }
    // The connection is over and the title is on screen: the owner may delete this
    // (after showing EndMessage(), when it is not empty) once Deletable().
    bool Finished() const { return finished_; }
    bool Deletable() const;
    const std::string& EndMessage() const { return message_; }
    // Why the connection ended (net::end_reason), so the window can say it in the
    // player's language; the peer tells the versions of a mismatch.
    int EndReason() const { return endReason_; }
    const net::NetPeer& Peer() const { return *peer_; }
    // After "out of step": the folder that holds its evidence (empty when none was written).
    const std::string& DesyncFolder() const { return desyncFolder_; }
    const Game& GameOf() const { return g_; }
    // Where the --verbose line of each match goes; null for nowhere.
    std::ostream* verbose = nullptr;
    // The clock every network rule runs on: the monotonic one (tests put their own).
    std::function<int64_t()> clock = SteadyNowMs;
    // Whole seconds this side's match has been frozen waiting for the other player, or
    // nothing while it plays (the window shows the waiting line from this).
    std::optional<int> WaitingSeconds() const;

    // The input delay of this side's matches: fixed frames (0..net::kMaxInputDelay), or
    // nothing for the automatic one. Applies to a match in play at once.
    void SetInputDelay(std::optional<uint32_t> frames);
    // The network line's figures while a match is on screen, else nothing.
    std::optional<net::LinkFigures> Figures() const;

    // Sides: the host may let the guest play on the left while choosing the stage.
    bool MaySwapSides() const;
    void SetGuestOnLeft(bool onLeft);
    bool GuestOnLeft() const { return guestOnLeft_; }

    // After a result. The host: the guest's open request (match_choice::kRetry or
    // kStageSelect), or 0; AnswerRequest accepts (doing that choice) or refuses it.
    // The guest: what it asked and waits an answer for, or was refused last.
    uint8_t PendingRequest() const { return request_; }
    void AnswerRequest(bool accept);
    uint8_t Asked() const { return asked_; }
    uint8_t Refused() const { return refused_; }

    // MatchFrameSource: what the match loop and the screens ask.
    void BeginMatch(Game& g) override;
    MatchRecords& Records() override { return match_->Records(); }
    bool PlayTurn(Game& g) override;
    bool EndConfirmed() const override;
    void MatchEnded(Game& g, bool complete) override;
    void Paused(Game& g) override;
    void Resumed(Game& g) override;
    void Stopped(Game& g) override;
    bool MayChoose() const override { return host_; }
    void Chose(Game& g, uint8_t choice, uint8_t stage) override;
    void Ask(Game& g, uint8_t choice) override;

  private:
    NetPlay(Game& g, std::unique_ptr<net::Link> link, bool host, uint16_t port, net::PathKind path);
    int64_t Now() const;
    // No screen change or match is running: the screens may change here.
    bool AtRest() const;
    void OpenSession();
    void FollowHost();
    void ShowGuestWaiting();
    // Ends the connection on this side: message for the player (empty for none) and
    // back to the title from wherever the screens are.
    void Finish(const std::string& message);
    void ReturnToTitle();
    void SendStart(uint8_t stage);
    // Keeps the evidence of an "out of step" and names its folder in the message.
    void KeepDesyncEvidence();
    void HearRequests();
    // A host's watchers hear what is due; never waited for.
    void ServeWatchers();

    Game& g_;
    uint16_t port_ = 0;
    bool host_;
    net::PathKind path_;
    std::unique_ptr<net::NetPeer> peer_;
    std::unique_ptr<net::NetMatch> match_;
    // A host opened by address serves watchers over its link (owned by peer_).
    std::unique_ptr<net::WatchServer> watchServer_;
    net::StartPacket start_;
    uint8_t matchNo_ = 0;
    bool session_ = false;       // the handshake is done and the first screen shown
    bool guestWaiting_ = false;  // the guest's waiting screen is up
    bool remotePause_ = false;   // the pause (or resume, stop) came from the other side
    bool remoteResume_ = false;
    bool cutOff_ = false;  // the link ended in the middle of a match
    bool finished_ = false;
    bool replayKept_ = true;  // the current match's replay was written
    std::string message_;
    int endReason_ = 0;
    std::string desyncFolder_;
    std::optional<uint32_t> inputDelay_;
    bool guestOnLeft_ = false;
    bool leaving_ = false;  // this guest left from the result screen: no message
    uint8_t request_ = 0;   // host: the guest's open request
    uint8_t asked_ = 0;     // guest: asked, no answer yet
    uint8_t refused_ = 0;   // guest: the host refused this
};

}  // namespace vx
