// The program: wires the game to its window, its sound and its files, then runs.
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string_view>
#include <vector>

#include "core/game.h"
#include "draw/screen_pictures.h"
#include "frontend/command_line.h"
#include "frontend/messages_language.h"
#include "frontend/net_play.h"
#include "frontend/online_connector.h"
#include "frontend/replay_commands.h"
#include "frontend/replay_viewer.h"
#include "frontend/watch_command.h"
#include "frontend/watch_room_command.h"
#include "match/replay_recorder.h"
#include "match/rules.h"
#include "net/ice/ice_path_finder.h"
#include "platform/audio/deferred_audio.h"
#include "platform/pads/pad_system.h"
#include "platform/program_files.h"
#include "platform/random.h"
#include "platform/single_instance.h"
#include "platform/version.h"
#include "window/main_pict_view.h"
#include "window/main_window.h"
#include "window/net_dialogs.h"
#include "window/options_store.h"
#include "window/qt_host.h"
#include "window/qt_picture_decoder.h"
#include "window/replay_dialogs.h"
#include "window/startup_trace.h"
#include "window/ui_translation.h"

namespace {

// The exit status of a second copy (see EXIT STATUS in the manual page).
constexpr int kAnotherCopyRuns = 3;

// Why the program stops, in a dialog where someone can see a window (the line on
// standard error is written where the failure is found). The offscreen and minimal
// platforms have no one to press OK: the dialog would wait for ever.
void TellFatal(const std::string& message) {
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal")) return;
    QMessageBox::critical(nullptr, QStringLiteral("VOLTRAX"), QString::fromStdString(message));
}

}  // namespace

int main(int argc, char** argv) {
    vx::TraceStartup("main entered (libraries loaded)");
    // Before the window system: --help and --version work without a display.
    const vx::CommandLine options =
        vx::ParseCommandLine(std::vector<std::string_view>(argv + 1, argv + argc));
    if (!options.error.empty()) {
        std::cerr << vx::UsageLine("voltrax", options) << "\n";
        return 2;
    }
    if (options.help) {
        std::cout << vx::HelpText("voltrax");
        return 0;
    }
    if (options.version) {
        std::cout << "voltrax " VOLTRAX_VERSION_TEXT "\n";
        return 0;
    }
    // --start-at goes with --replay and is a number of seconds of at least 0.
    uint32_t startFrame = 0;
    if (!options.startAt.empty()) {
        const std::optional<uint32_t> frame = vx::StartFrameOfSeconds(options.startAt);
        if (!frame || options.replay.empty()) {
            std::cerr << "voltrax: --start-at needs --replay and a number of seconds of at least 0, not '"
                      << options.startAt << "'\n";
            return 2;
        }
        startFrame = *frame;
    }
    // Checking a replay needs no window, no sound and no lock: it may run beside a game.
    if (!options.verifyReplay.empty())
        return vx::VerifyReplayCommand(options.verifyReplay, std::cout, std::cerr);
    // Watching without a window needs no lock either: it may run beside a game.
    if (options.headless && !options.watch.empty())
        return vx::WatchCommand(options.watch, options.verbose, std::cout, std::cerr);
    if (options.headless && !options.watchRoom.empty()) {
        vx::OnlineRequest request;
        request.kind = vx::OnlineRequest::Kind::kWatchRoom;
        request.code = options.watchRoom;
        request.server = options.lobby;
        request.version = VOLTRAX_VERSION_TEXT;
        const auto makeFinder = [](const vx::net::PathOptions& o) {
            return std::make_unique<vx::net::ice::IcePathFinder>(o);
        };
        return vx::WatchRoomCommand(request, makeFinder, options.verbose, std::cout, std::cerr);
    }

    // A second copy (a window, --host, --join or --replay alike) says so and ends at once.
    vx::SingleInstanceLock lock;
    if (!lock.Acquire()) {
        std::cerr << "voltrax: another copy of VOLTRAX is already running (" << lock.Path().string()
                  << "); only one may run at a time\n";
        return kAnotherCopyRuns;
    }
    vx::TraceStartup("single-instance lock");

    vx::PreferPlainXImageTransfer();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("VOLTRAX"));
    vx::TraceStartup("QApplication (X connection)");
    // Japanese menus for a Japanese locale, English ones for every other.
    if (!vx::UseLanguage(vx::MessagesLanguage(vx::ProcessEnvironment(), vx::LoadNewOptions().language)))
        std::cerr << "voltrax: the English captions could not be loaded\n";

    vx::ProgramFiles files(vx::ProgramFiles::ExecutableFolder());
    vx::MixingRandom random(vx::WallClockMicros(), vx::WallClockMicros);
    vx::QtHost host;
    vx::audio::DeferredAudio audio;
    vx::Game game(vx::GamePlatform{random, files, host, audio, audio});
    game.ReplayFolder = vx::DefaultReplayFolder();
    vx::InstallQtPictureDecoder(game.pictureLoader);
    vx::TraceStartup("game made");

    // Only what the title shows comes before its first paint: the sprite sheet now, the
    // stage pictures, the sound and the game controllers once the title is on screen.
    if (!vx::LoadTitleDesignPictures(game)) {
        std::cerr << "voltrax: " << game.FatalMessage << "\n";
        TellFatal(game.FatalMessage);
        return 1;
    }
    vx::TraceStartup("sprite sheet");

    std::optional<vx::pads::PadSystem> pads;
    vx::MainWindow window(game, host);
    window.AddStepAfterTitleShown([&game] {
        if (!vx::LoadStageDesignPictures(game)) {
            const std::string message = game.FatalMessage;
            game.FatalMessage.clear();
            vx::StopForMissingPicture(game, message);
        }
        vx::TraceStartup("stage pictures (after the first paint)");
    });
    window.AddStepAfterTitleShown([&audio] {
        audio.Start();
        vx::TraceStartup("audio device, SoundFont loading begins (after the first paint)");
    });
    window.AddStepAfterTitleShown([&window, &pads] {
        pads.emplace();
        window.AttachPads(&*pads);
        vx::TraceStartup("game controllers (after the first paint)");
    });
    window.musicReady = [&audio] { return audio.MusicReady(); };
    vx::TraceStartup("main window and menu bar made");
    vx::TraceFirstPaint(window.MainPict());
    window.show();
    vx::TraceStartup("window shown");
    window.Start();
    vx::TraceStartup("Start (settings, title drawn)");
    // --host, --join and --watch open the connection once the title is up, as the menu items do.
    if (options.host || !options.join.empty() || !options.watch.empty()) {
        std::string error, address;
        uint16_t port = vx::net::kDefaultPort;
        const bool ok = options.host
                            ? options.hostPort.empty() || vx::ParseNetPort(options.hostPort, port, error)
                            : vx::ParseJoinAddress(options.join.empty() ? options.watch : options.join,
                                                   address, port, error);
        if (!ok) {
            std::cerr << "voltrax: " << error << "\n";
            return 2;
        }
        QTimer::singleShot(0, &window,
                           [&window, host = options.host, watch = !options.watch.empty(), address, port] {
                               if (host)
                                   window.NetPlay().Host(port);
                               else if (watch)
                                   window.NetPlay().Watch(address, port);
                               else
                                   window.NetPlay().Join(address, port);
                           });
    }
    // --make-room, --join-room and --quick-match meet the other player through the lobby.
    // --watch-room follows a room's match in the window the same way.
    if (options.makeRoom || !options.joinRoom.empty() || options.quickMatch || !options.watchRoom.empty()) {
        vx::OnlineRequest request;
        request.kind = options.makeRoom             ? vx::OnlineRequest::Kind::kMakeRoom
                       : options.quickMatch         ? vx::OnlineRequest::Kind::kQuickMatch
                       : !options.watchRoom.empty() ? vx::OnlineRequest::Kind::kWatchRoom
                                                    : vx::OnlineRequest::Kind::kJoinRoom;
        request.code = options.watchRoom.empty() ? options.joinRoom : options.watchRoom;
        request.server = options.lobby;
        request.version = VOLTRAX_VERSION_TEXT;
        QTimer::singleShot(0, &window, [&window, request] { window.NetPlay().StartOnline(request); });
    }
    // --lobby is the online dialog's lobby for this run too, not only the command line's.
    if (!options.lobby.empty()) window.SetLobby(options.lobby);
    window.NetPlay().verbose = options.verbose;
    if (!options.replay.empty()) {
        // Started from the event loop, like a menu command, once the title is up.
        QTimer::singleShot(0, &window,
                           [&game, &window, file = std::filesystem::path(options.replay), startFrame] {
                               vx::WatchReplayFile(game, &window, file, startFrame);
                           });
    }
    int status = game.FatalMessage.empty() && !host.Ending() ? app.exec() : 0;
    // Quit mid-match: the part played so far is kept as an incomplete replay.
    vx::FinishReplay(game, vx::DecidedResult(game));
    if (!game.FatalMessage.empty()) {
        window.hide();
        TellFatal(game.FatalMessage);
        status = 1;
    }
    return status;
}
