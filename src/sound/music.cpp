#include "sound/music.h"

#include "core/game.h"
#include "platform/asset_paths.h"
#include "platform/host.h"
#include "platform/sequencer.h"

namespace vx {

std::filesystem::path TuneFile(Game& g, Tune tune) {
    return g.files.Resolve(tune == Tune::kOpening ? asset::kOpeningTune : asset::kMatchTune);
}

bool MusicWanted(const Game& g) {
    return g.Menu.Checked(MenuId::MenuMidi);
}

void StartMusic(Game& g, Tune tune) {
    const std::filesystem::path file = TuneFile(g, tune);
    g.MusicPath = file.string();
    if (MusicWanted(g)) {
        g.sequencer.PlayLooping(file);
        g.MusicPlaying = true;
    } else {
        StopMusic(g);
    }
}

void StopMusic(Game& g) {
    g.sequencer.Stop();
    g.MusicPlaying = false;
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
