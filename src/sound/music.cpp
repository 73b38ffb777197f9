#include "sound/music.h"

#include <charconv>

#include "core/game.h"
#include "platform/host.h"
#include "platform/sequencer.h"

namespace vx {

namespace {

std::string Send(Game& g, const std::string& command) {
    std::string answer = g.sequencer.SendCommand(command);
    // The answer buffer holds 15 characters and is read up to its first NUL.
    answer = answer.substr(0, answer.find('\0'));
    if (answer.size() > 15) answer.resize(15);
    return answer;
}

// The answer as a number: its leading digits after any blanks, else 0 (a failed or
// empty answer counts as 0).
int32_t LeadingNumber(const std::string& text, bool& any) {
    int32_t value = 0;
    const char* begin = text.data();
    while (begin < text.data() + text.size() && *begin == ' ') ++begin;
    const auto [end, ec] = std::from_chars(begin, text.data() + text.size(), value);
    any = ec == std::errc() && end != begin;
    return any ? value : 0;
}

}  // namespace

void OpenMusic(Game& g, const std::string& fullPath) {
    g.MusicPath = ShortPathName(fullPath);
    Send(g, "stop midifile ");
    Send(g, "close midifile");
    Send(g, "open " + g.MusicPath + " type sequencer alias midifile");
    // The old sequence was stopped above; left true, the flag would keep the next tick
    // from ever starting the new one, and the music would fall silent for good.
    g.MusicPlaying = kFalse;
}

void StopMusic(Game& g) {
    Send(g, "stop midifile ");
    g.MusicPlaying = kFalse;
}

void ServiceMusic(Game& g, uint8_t start) {
    if (!g.Menu.Checked(MenuId::MenuMidi)) return;
    if (g.MusicPlaying == kFalse) {
        Send(g, "play midifile from 0");
        g.MusicPlaying = kTrue;
    }
    const std::string lengthText = Send(g, "status midifile length");
    const std::string positionText = MusicPosition(g);
    // A status without an answer (no device under the alias) ends this tick quietly;
    // reading it as 0 >= 0 would send a restart every millisecond.
    bool haveLength = false, havePosition = false;
    const int32_t length = LeadingNumber(lengthText, haveLength);
    const int32_t position = LeadingNumber(positionText, havePosition);
    if (!haveLength || !havePosition) return;
    if (position >= length) Send(g, "play midifile from " + std::to_string(start));
}

std::string MusicPosition(Game& g) {
    return Send(g, "status midifile position");
}

int32_t MusicLength(Game& g) {
    bool any = false;
    return LeadingNumber(Send(g, "status midifile length"), any);
}

std::string MusicFile(Game& g, const char* gamePath) {
    return g.files.Resolve(gamePath).string();
}

bool MusicWanted(const Game& g) {
    return g.Menu.Checked(MenuId::MenuMidi);
}

void StartMusic(Game& g, const char* gamePath) {
    OpenMusic(g, MusicFile(g, gamePath));
    g.host.SetTimer1Enabled(true);
}

void StopMusicAndTimer(Game& g) {
    StopMusic(g);
    g.host.SetTimer1Enabled(false);
}

void SwitchToOpeningMusic(Game& g) {
    if (!MusicWanted(g)) return;
    StopMusicAndTimer(g);
    StartMusic(g, "\\dat\\opening.mid");
}

void EndTheProgram(Game& g) {
    StopMusicAndTimer(g);
    g.host.EndProgram();
}

}  // namespace vx
