#include "frontend/watch_command.h"

#include <chrono>
#include <filesystem>
#include <thread>

#include "core/game.h"
#include "frontend/net_play.h"
#include "net/enet_link.h"
#include "net/watch_client.h"
#include "platform/clock.h"
#include "platform/program_files.h"
#include "platform/random.h"
#include "platform/silent_services.h"
#include "platform/version.h"

namespace vx {

int WatchCommand(const std::string& where, bool verbose, std::ostream& out, std::ostream& err) {
    std::string address, error;
    uint16_t port = 0;
    if (!ParseJoinAddress(where, address, port, error)) {
        err << "voltrax: --watch: " << error << "\n";
        return 2;
    }
    auto link = net::EnetLink::Join(address, port, &error);
    if (!link) {
        err << "voltrax: --watch: " << error << "\n";
        return 2;
    }
    return FollowWatchedMatches(std::move(link), "--watch", verbose, out, err);
}

int FollowWatchedMatches(std::unique_ptr<net::Link> link, std::string_view option, bool verbose,
                         std::ostream& out, std::ostream& err, const std::function<void()>& eachTurn,
                         int64_t giveUpAtMs) {
    // The matches come with their seeds; the generator, the folder and the services are
    // only there because a Game needs them.
    MixingRandom random(1, [] { return uint64_t{0}; });
    ProgramFiles files(std::filesystem::temp_directory_path());
    NullHost noWindow;
    SilentWavePlayer noEffects;
    SilentSequencer noMusic;
    Game g(GamePlatform{random, files, noWindow, noEffects, noMusic});
    net::MatchWatcher watcher(std::move(link), VOLTRAX_VERSION_TEXT, g);
    int followed = 0;
    bool reported = false;
    while (!watcher.Ended() && SteadyNowMs() <= giveUpAtMs) {
        watcher.Pump(SteadyNowMs());
        if (eachTurn) eachTurn();
        if (watcher.MatchOver() && !reported) {
            ++followed;
            if (verbose) out << watcher.SummaryLine() << std::endl;
        }
        reported = watcher.MatchOver();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (!watcher.Ended()) {
        err << "voltrax: " << option << ": gave up watching\n";
        return 1;
    }
    const bool hostEnded = watcher.EndMessage() == "the players' connection ended" ||
                           watcher.EndMessage() == "the host ended the connection";
    if (followed > 0 && hostEnded) return 0;
    err << "voltrax: " << option << ": " << watcher.EndMessage() << "\n";
    return 1;
}

}  // namespace vx
