#include "sound/music.h"

#include "core/game.h"
#include "platform/host.h"
#include "platform/sequencer.h"

namespace vx {

std::filesystem::path TuneFile(Game& g, Tune tune) {
    return g.files.Resolve(tune == Tune::kOpening ? "\\dat\\opening.mid" : "\\dat\\bgm1.mid");
}

bool MusicWanted(const Game& g) {
    return g.Menu.Checked(MenuId::MenuMidi);
}

void StartMusic(Game& g, Tune tune) {
    const std::filesystem::path file = TuneFile(g, tune);
    g.MusicPath = file.string();
    if (MusicWanted(g)) {
        g.sequencer.PlayLooping(file);
        g.MusicPlaying = kTrue;
    } else {
        StopMusic(g);
    }
}

void StopMusic(Game& g) {
    g.sequencer.Stop();
    g.MusicPlaying = kFalse;
}

void SwitchToOpeningMusic(Game& g) {
    if (!MusicWanted(g)) return;
    StartMusic(g, Tune::kOpening);
}

void EndTheProgram(Game& g) {
    StopMusic(g);
    g.host.EndProgram();
}

}  // namespace vx
