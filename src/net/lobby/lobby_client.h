// The game's side of the lobby: an anonymous login on the lobby's XMPP server, a room
// for two named by a 6-character code (or a quick match in the public room), and the few
// lines the two programs must agree on before play: versions, the room maker's
// settings, each side's connection candidates, readiness. The match itself never goes
// through the lobby. Nothing here waits: Poll() runs the connection from the game's loop.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "net/lobby/lobby_text.h"

namespace vx::net::lobby {

enum class LobbyState : uint8_t {
    kConnecting,  // reaching the lobby and logging in
    kEntering,    // making or finding the room, or waiting for a quick-match partner
    kWaiting,     // in our room; the other player is not there (yet)
    kTogether,    // both in the room: the lines flow
    kFailed,      // Error() says why; the lobby connection is closed
};

enum class LobbyError : uint8_t {
    kNone,
    kUnreachable,     // no connection to the lobby, or it was lost
    kRoomNotFound,    // no room has that code
    kRoomFull,        // the room already has its two players
    kVersionsDiffer,  // the other program is another version
    kOtherLeft,       // the other player left the room (a watcher: the room's maker left)
    kWatchersFull,    // watching: the match already has kMaxWatchers watchers
};

struct LobbyOptions {
    std::string server;   // "host", "host:port", "[v6 address]:port"; port 5222 if none
    std::string domain;   // the lobby's XMPP domain; empty: the server's host name
    std::string version;  // this program's version; the other's must be the same
    std::chrono::milliseconds connectTimeout{10000};
    // Quick match: how long the older player waits in its room for the newer one before
    // it goes back to waiting.
    std::chrono::milliseconds partnerTimeout{15000};
};

class LobbyClient {
  public:
    explicit LobbyClient(LobbyOptions options);
    ~LobbyClient();
    LobbyClient(const LobbyClient&) = delete;
    LobbyClient& operator=(const LobbyClient&) = delete;

    // Call one of these once, right after construction. The settings are the room
    // maker's (printable ASCII, at most kMaxSettingsText); a quick-match player's are
    // used if it becomes the room's maker.
    void MakeRoom(std::string settings);
    void JoinRoom(std::string_view typedCode);
    void QuickMatch(std::string settings);
    // Watching a room's match: enters the watch room beside the room with that code and
    // talks with the room's maker alone (PeerVersion, PeerPath; SendPath). A watcher is
    // never one of the room's two players. Fails with kRoomNotFound when no room has the
    // code and kWatchersFull when the match has as many watchers as it takes.
    void WatchRoom(std::string_view typedCode);

    // Runs the connection without waiting.
    void Poll();

    LobbyState State() const;
    LobbyError Error() const;
    // Error() in a player's words ("" while there is none).
    std::string ErrorWords() const;

    bool IsHost() const;              // made the room (in a quick match: once paired)
    const std::string& Code() const;  // the room's code once the room is ours or found
    // The relay and STUN server the lobby handed out, once ServicesAnswered() (the
    // relay stays empty when the lobby offers none).
    bool ServicesAnswered() const;
    const LobbyServices& Services() const;

    // This side's connection line (sent as soon as the other player is there).
    void SendPath(std::string line);
    // This side is ready (sent after the path line).
    void SendReady();

    // What the other player said so far ("" / false until then).
    const std::string& PeerVersion() const;
    const std::string& PeerSettings() const;  // the room maker's settings, for its guest
    const std::string& PeerPath() const;
    bool PeerReady() const;

    // The room maker's watchers: those in its watch room that it took (at most
    // kMaxWatchers, in the order they came; the next is told the match is full and sent
    // out), each with what it said so far. A watcher that leaves the watch room leaves
    // the list.
    struct Watcher {
        std::string nick;     // its name in the watch room
        std::string version;  // its program's version ("" until it said)
        std::string path;     // its connection line ("" until it sent one)
    };
    const std::vector<Watcher>& Watchers() const;
    // The maker's connection line for one of its watchers.
    void SendPathToWatcher(const std::string& nick, const std::string& line);

    // Leaves the room and the lobby (the destructor does it too).
    void Leave();

    struct Impl;

  private:
    std::unique_ptr<Impl> impl_;
};

const char* LobbyErrorWords(LobbyError error);

}  // namespace vx::net::lobby
