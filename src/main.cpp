// The program: wires the game to its window, its sound and its files, then runs.
#include <QApplication>
#include <QMessageBox>
#include <cstdlib>
#include <iostream>

#include "core/game.h"
#include "draw/screen_pictures.h"
#include "frontend/messages_language.h"
#include "platform/audio/audio_system.h"
#include "platform/pads/pad_system.h"
#include "platform/program_files.h"
#include "platform/random.h"
#include "platform/single_instance.h"
#include "window/form1.h"
#include "window/options_store.h"
#include "window/qt_host.h"
#include "window/qt_picture_decoder.h"
#include "window/ui_translation.h"

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
    // A second copy ends at once and says nothing.
    vx::SingleInstanceLock lock;
    if (!lock.Acquire()) return 0;

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("VOLTRAX"));
    // Japanese menus for a Japanese locale, English ones for every other.
    if (!vx::UseLanguage(vx::MessagesLanguage(vx::ProcessEnvironment(), vx::LoadNewOptions().language)))
        std::cerr << "voltrax: the English captions could not be loaded\n";

    vx::ProgramFiles files(vx::ProgramFiles::ExecutableFolder());
    vx::MixingRandom random(vx::WallClockMicros(), vx::WallClockMicros);
    vx::Game game(vx::GamePlatform{random, files});
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
    vx::pads::PadSystem pads;
    window.AttachPads(&pads);
    int status = game.FatalMessage.empty() && !window.Host()->Ending() ? app.exec() : 0;
    if (!game.FatalMessage.empty()) {
        window.hide();
        TellFatal(game.FatalMessage);
        status = 1;
    }
    return status;
}
