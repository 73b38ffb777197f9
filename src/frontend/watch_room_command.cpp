#include "frontend/watch_room_command.h"

#include <chrono>
#include <string>
#include <thread>

#include "frontend/watch_command.h"
#include "platform/clock.h"

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
    // The watcher stays in the lobby while it watches.
    return FollowWatchedMatches(
        connector.TakeLink(), "--watch-room", verbose, out, err,
        [&connector] { connector.Poll(SteadyNowMs()); }, giveUpAt);
}

}  // namespace vx
