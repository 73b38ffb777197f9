// The program: wires the game to its window, its sound and its files, then runs.
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <cstdlib>
#include <iostream>

#include "core/game.h"
#include "draw/screen_pictures.h"
#include "frontend/replay_commands.h"
#include "match/replay_recorder.h"
#include "match/rules.h"
#include "platform/audio/audio_system.h"
#include "platform/program_files.h"
#include "platform/random.h"
#include "platform/single_instance.h"
#include "window/form1.h"
#include "window/qt_host.h"
#include "window/qt_picture_decoder.h"
#include "window/replay_dialogs.h"

namespace {

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
    const vx::ReplayOptions replayOptions = vx::ParseReplayOptions(argc, argv);
    if (!replayOptions.error.empty()) {
        std::cerr << "voltrax: " << replayOptions.error << "\n";
        return vx::verify_status::kUnusable;
    }
    // Checking a replay needs no window, no sound and no lock: it may run beside a game.
    if (replayOptions.verify) return vx::VerifyReplayCommand(*replayOptions.verify, std::cout, std::cerr);

    // A second copy ends at once and says nothing.
    vx::SingleInstanceLock lock;
    if (!lock.Acquire()) return 0;

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("VOLTRAX"));

    vx::ProgramFiles files(vx::ProgramFiles::ExecutableFolder());
    vx::MixingRandom random(vx::WallClockMicros(), vx::WallClockMicros);
    vx::Game game(vx::GamePlatform{random, files});
    game.ReplayFolder = vx::DefaultReplayFolder();
    vx::InstallQtPictureDecoder(game.pictureLoader);
    vx::audio::AudioSystem audio;
    game.wavePlayer = &audio;
    game.sequencer = &audio;

    if (!vx::LoadDesignPictures(game)) {
        std::cerr << "voltrax: " << game.FatalMessage << "\n";
        TellFatal(game.FatalMessage);
        return 1;
    }

    vx::Form1 window(game);
    window.show();
    window.Form_Load();
    if (replayOptions.watch) {
        // Started from the event loop, like a menu command, once the title is up.
        QTimer::singleShot(0, &window, [&game, &window, file = *replayOptions.watch] {
            vx::WatchReplayFile(game, &window, file);
        });
    }
    int status = game.FatalMessage.empty() && !window.Host()->Ending() ? app.exec() : 0;
    // Quit mid-match: the part played so far is kept as an incomplete replay.
    vx::FinishReplay(game, vx::DecidedResult(game));
    if (!game.FatalMessage.empty()) {
        window.hide();
        TellFatal(game.FatalMessage);
        status = 1;
    }
    return status;
}
