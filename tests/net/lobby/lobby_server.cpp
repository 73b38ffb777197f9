#include "net/lobby/lobby_server.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vx::testing {

namespace {

using Clock = std::chrono::steady_clock;

// A port nobody on 127.0.0.1 holds right now, for TCP and UDP alike.
uint16_t FreePort() {
    for (int attempt = 0; attempt < 20; ++attempt) {
        const int tcp = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        uint16_t port = 0;
        if (bind(tcp, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
            getsockname(tcp, reinterpret_cast<sockaddr*>(&a), &len) == 0) {
            port = ntohs(a.sin_port);
        }
        const int udp = socket(AF_INET, SOCK_DGRAM, 0);
        const bool udpFree = port != 0 && bind(udp, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
        close(udp);
        close(tcp);
        if (udpFree && port < 49152) return port;  // below the relay's range
    }
    return 0;
}

bool OnPath(const char* tool) {
    const char* path = std::getenv("PATH");
    std::string rest = path ? path : "/usr/bin:/bin";
    while (!rest.empty()) {
        const auto colon = rest.find(':');
        const std::string dir = rest.substr(0, colon);
        if (!dir.empty() && access((dir + "/" + tool).c_str(), X_OK) == 0) return true;
        if (colon == std::string::npos) break;
        rest.erase(0, colon + 1);
    }
    return false;
}

// Waits for `pid` until the deadline; true when it ended.
bool WaitFor(pid_t pid, Clock::time_point deadline, int* status) {
    for (int i = 0; i < 100000 && Clock::now() < deadline; ++i) {
        const pid_t got = waitpid(pid, status, WNOHANG);
        if (got == pid) return true;
        if (got < 0 && errno != EINTR) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

}  // namespace

std::string MissingLobbyTools() {
    for (const char* tool : {"prosody", "turnserver", "setpriv"})
        if (!OnPath(tool)) return std::string(tool) + " is not installed";
    return "";
}

LobbyServer::LobbyServer() {
    xmppPort_ = FreePort();
    turnPort_ = FreePort();
    char dir[] = "/tmp/voltrax-lobby-test.XXXXXX";
    if (!mkdtemp(dir) || xmppPort_ == 0 || turnPort_ == 0 || xmppPort_ == turnPort_) {
        why_ = "no temporary folder or free ports";
        return;
    }
    dataDir_ = dir;
    const std::string script = std::string(VOLTRAX_SOURCE_DIR) + "/server/run.sh";
    const std::string xmppPort = std::to_string(xmppPort_), turnPort = std::to_string(turnPort_);
    // Files, not pipes: the servers write for as long as they run, read or not.
    const std::string out = dataDir_ + "/run.out", log = dataDir_ + "/run.log";
    pid_ = fork();
    if (pid_ == 0) {
        setpgid(0, 0);
        const int outFd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int logFd = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (outFd >= 0) dup2(outFd, STDOUT_FILENO);
        if (logFd >= 0) dup2(logFd, STDERR_FILENO);
        execl("/bin/bash", "bash", script.c_str(), "--domain", kDomain, "--public-address", "127.0.0.1",
              "--data", dataDir_.c_str(), "--xmpp-port", xmppPort.c_str(), "--turn-port", turnPort.c_str(),
              "--relay-ports", "50000-50999", static_cast<char*>(nullptr));
        _exit(127);
    }
    setpgid(pid_, pid_);
    const auto deadline = Clock::now() + std::chrono::seconds(20);
    for (int i = 0; i < 400 && !ready_ && Clock::now() < deadline; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        std::ifstream in(out);
        const std::string seen((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        ready_ = seen.find("lobby ready ") != std::string::npos;
        if (!ready_ && waitpid(pid_, nullptr, WNOHANG) == pid_) {
            pid_ = -1;  // run.sh ended: its log says why
            break;
        }
    }
    if (!ready_) {
        std::ifstream in(log);
        const std::string said((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        why_ = "server/run.sh gave no ready line in 20 s: " +
               said.substr(said.size() > 800 ? said.size() - 800 : 0);
    }
}

LobbyServer::~LobbyServer() {
    Stop();
    std::error_code ignored;
    if (!dataDir_.empty()) std::filesystem::remove_all(dataDir_, ignored);
}

void LobbyServer::Stop() {
    if (pid_ <= 0) return;
    kill(-pid_, SIGTERM);
    int status = 0;
    if (!WaitFor(pid_, Clock::now() + std::chrono::seconds(5), &status)) {
        kill(-pid_, SIGKILL);
        waitpid(pid_, &status, 0);
    }
    // The servers are in the same group: anything left of it goes too.
    kill(-pid_, SIGKILL);
    pid_ = -1;
}

bool PumpUntil(const std::function<void()>& poll, const std::function<bool()>& done,
               std::chrono::milliseconds limit) {
    const auto deadline = Clock::now() + limit;
    const int64_t rounds = limit.count() / 2 + 1;
    for (int64_t i = 0; i < rounds && Clock::now() < deadline; ++i) {
        poll();
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    poll();
    return done();
}

int RunBounded(const std::vector<std::string>& argv, std::chrono::milliseconds limit) {
    const pid_t pid = fork();
    if (pid == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        std::vector<char*> args;
        for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }
    if (pid < 0) return -1;
    int status = 0;
    if (!WaitFor(pid, Clock::now() + limit, &status)) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace vx::testing
