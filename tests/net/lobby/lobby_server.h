// A lobby of our own for the tests: server/run.sh on 127.0.0.1 with free ports and a
// fresh data folder, in its own process group, stopped by that group's id.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <sys/types.h>

namespace vx::testing {

class LobbyServer {
  public:
    // Starts the servers and waits (20 s at most) for run.sh's ready line.
    LobbyServer();
    ~LobbyServer();
    LobbyServer(const LobbyServer&) = delete;
    LobbyServer& operator=(const LobbyServer&) = delete;

    bool Ready() const { return ready_; }
    const std::string& Why() const { return why_; }  // why not ready
    std::string Address() const { return "127.0.0.1:" + std::to_string(xmppPort_); }
    uint16_t TurnPort() const { return turnPort_; }
    static constexpr const char* kDomain = "lobby.test";

    // SIGTERM to the group, SIGKILL after 5 s; idempotent.
    void Stop();

  private:
    pid_t pid_ = -1;
    bool ready_ = false;
    std::string why_;
    std::string dataDir_;
    uint16_t xmppPort_ = 0;
    uint16_t turnPort_ = 0;
};

// Why the lobby tests cannot run here ("" when they can).
std::string MissingLobbyTools();

// Calls `poll` until `done` or the time is up (every 2 ms, bounded in count too).
bool PumpUntil(const std::function<void()>& poll, const std::function<bool()>& done,
               std::chrono::milliseconds limit);

// Runs a program with arguments, killing it after `limit`; its exit status, or -1.
int RunBounded(const std::vector<std::string>& argv, std::chrono::milliseconds limit);

}  // namespace vx::testing
