#include "frontend/watch_room_command.h"

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "core/game.h"
#include "net/watch_client.h"
#include "platform/clock.h"
#include "platform/program_files.h"
#include "platform/random.h"
#include "platform/silent_services.h"

namespace vx {

int WatchRoomCommand(const OnlineRequest& request, const PathFinderMaker& makeFinder, bool verbose,
                     std::ostream& out, std::ostream& err, int64_t giveUpAfterMs) {
    const int64_t giveUpAt = giveUpAfterMs > 0 ? SteadyNowMs() + giveUpAfterMs : INT64_MAX;
    auto nap = [] { std::this_thread::sleep_for(std::chrono::milliseconds(5)); };
    OnlineConnector connector(request, makeFinder);
    std::string said;  // what it is doing, told on err as it changes (as the window's keeper does)
    while (connector.GetStage() != OnlineConnector::Stage::kConnected) {
        connector.Poll(SteadyNowMs());
        if (const std::string words = connector.StatusWords();
            words != said && connector.GetStage() != OnlineConnector::Stage::kFailed) {
            err << "voltrax: " << words << std::endl;
            said = words;
        }
        if (connector.GetStage() == OnlineConnector::Stage::kFailed) {
            err << "voltrax: --watch-room: " << connector.Failure() << "\n";
            return 1;
        }
        if (SteadyNowMs() > giveUpAt) {
            err << "voltrax: --watch-room: gave up: " << connector.StatusWords() << "\n";
            return 1;
        }
        nap();
    }
    if (verbose) out << "path=" << net::PathName(connector.Path()) << std::endl;
    // The matches come with their seeds; the generator, the folder and the services are
    // only there because a Game needs them.
    MixingRandom random(1, [] { return uint64_t{0}; });
    ProgramFiles files(std::filesystem::temp_directory_path());
    NullHost noWindow;
    SilentWavePlayer noEffects;
    SilentSequencer noMusic;
    Game g(GamePlatform{random, files, noWindow, noEffects, noMusic});
    net::MatchWatcher watcher(connector.TakeLink(), request.version, g);
    int followed = 0;
    bool reported = false;
    while (!watcher.Ended() && SteadyNowMs() <= giveUpAt) {
        watcher.Pump(SteadyNowMs());
        connector.Poll(SteadyNowMs());  // the watcher stays in the lobby while it watches
        if (watcher.MatchOver() && !reported) {
            ++followed;
            if (verbose) out << watcher.SummaryLine() << std::endl;
        }
        reported = watcher.MatchOver();
        nap();
    }
    if (!watcher.Ended()) {
        err << "voltrax: --watch-room: gave up watching\n";
        return 1;
    }
    const bool hostEnded = watcher.EndMessage() == "the players' connection ended" ||
                           watcher.EndMessage() == "the host ended the connection";
    if (followed > 0 && hostEnded) return 0;
    err << "voltrax: --watch-room: " << watcher.EndMessage() << "\n";
    return 1;
}

}  // namespace vx
