#include "music.h"

#include <algorithm>
#include <array>
#include <map>
#include <vector>

#include "midi_writer.h"

namespace gen {

namespace {

constexpr uint16_t kDivision = 480;
constexpr uint32_t kBar = kDivision * 4;
constexpr uint32_t kEighth = kDivision / 2;
constexpr uint32_t kSixteenth = kDivision / 4;

struct Chord {
    int root;  // MIDI note in the bass octave
    bool minor;
};

struct Style {
    const char* name;
    double bpm;
    int leadProgram, arpProgram, padProgram, bassProgram;
    int leadLow, leadHigh;
    bool sixteenthArp;
    bool fourOnFloor;
    bool lowIntro;  // the first section's lead an octave down, so the repeat lifts
    uint32_t seed;
    std::vector<int> scale;  // pitch classes of the key
};

class Rng {
  public:
    explicit Rng(uint32_t s) : s_(s) {}
    int Below(int n) {
        s_ = s_ * 1103515245u + 12345u;
        return int((s_ >> 16) % uint32_t(n));
    }

  private:
    uint32_t s_;
};

std::array<int, 3> Triad(const Chord& c) {
    return {c.root, c.root + (c.minor ? 3 : 4), c.root + 7};
}

bool InChord(int key, const Chord& c) {
    for (int t : Triad(c))
        if ((key - t) % 12 == 0) return true;
    return false;
}

int SnapToScale(int key, const std::vector<int>& scale) {
    for (int d = 0; d < 12; ++d) {
        if (std::find(scale.begin(), scale.end(), (key - d + 120) % 12) != scale.end()) return key - d;
    }
    return key;
}

int StepScale(int key, int steps, const std::vector<int>& scale) {
    int k = key;
    const int dir = steps > 0 ? 1 : -1;
    for (int i = 0; i != steps; i += dir) {
        k += dir;
        while (std::find(scale.begin(), scale.end(), (k + 120) % 12) == scale.end()) k += dir;
    }
    return k;
}

int NearestChordTone(int key, const Chord& c, int low, int high) {
    for (int d = 0; d < 12; ++d) {
        if (key - d >= low && InChord(key - d, c)) return key - d;
        if (key + d <= high && InChord(key + d, c)) return key + d;
    }
    return key;
}

// One phrase of melody for a run of bars: rhythm cells in eighths, strong beats on chord
// tones, steps of the scale in between, a held tonic-chord note at the end.
struct Phrase {
    struct N {
        uint32_t at, len;
        int key;
    };
    std::vector<N> notes;
};

Phrase MakePhrase(const Style& st, const std::vector<Chord>& chords, uint32_t seed) {
    static const std::vector<std::vector<int>> kCells = {
        {2, 1, 1, 2, 2}, {1, 1, 1, 1, 2, 2}, {3, 1, 2, 2}, {2, 2, 2, 2},
        {3, 3, 2},       {1, 1, 2, 1, 1, 2}, {4, 2, 2}};
    Rng rng(seed);
    Phrase ph;
    int key = (st.leadLow + st.leadHigh) / 2;
    for (size_t bar = 0; bar < chords.size(); ++bar) {
        const Chord& c = chords[bar];
        const bool last = bar + 1 == chords.size();
        std::vector<int> cell = last ? std::vector<int>{2, 6} : kCells[size_t(rng.Below(int(kCells.size())))];
        uint32_t t = uint32_t(bar) * kBar;
        for (size_t i = 0; i < cell.size(); ++i) {
            const bool strong = (t % kDivision) == 0;
            if (strong || i == 0) {
                const int before = key;
                key = NearestChordTone(key + (rng.Below(5) - 2) * 2, c, st.leadLow, st.leadHigh);
                // Avoid drumming on one pitch: move to the next chord tone up or down.
                if (key == before && rng.Below(3) != 0) {
                    const int dir = (key > (st.leadLow + st.leadHigh) / 2) ? -1 : 1;
                    int k = key + dir;
                    while (!InChord(k, c)) k += dir;
                    key = k;
                }
            } else {
                int step = rng.Below(4) - 2;
                if (step == 0) step = 1;
                key = StepScale(key, step, st.scale);
            }
            key = std::clamp(key, st.leadLow, st.leadHigh);
            key = SnapToScale(key, st.scale);
            const uint32_t len = uint32_t(cell[i]) * kEighth;
            // A rest now and then lets the line breathe.
            if (!(i > 0 && !strong && rng.Below(7) == 0)) ph.notes.push_back({t, len * 9 / 10, key});
            t += len;
        }
    }
    return ph;
}

struct Section {
    char id;
    std::vector<Chord> chords;
};

QByteArray Compose(const Style& st, const std::map<char, std::vector<Chord>>& sections,
                   const std::string& form) {
    std::vector<MidiTrack> tracks(6);
    MidiTrack& conductor = tracks[0];
    conductor.Name(st.name);
    conductor.TimeSignature(0, 4, 4);
    conductor.Tempo(0, st.bpm);
    const int programs[4] = {st.leadProgram, st.arpProgram, st.padProgram, st.bassProgram};
    const int volumes[4] = {100, 70, 72, 100};
    for (int ch = 0; ch < 4; ++ch) {
        tracks[size_t(ch + 1)].Program(0, ch, programs[ch]);
        tracks[size_t(ch + 1)].Control(0, ch, 7, volumes[ch]);
        tracks[size_t(ch + 1)].Control(0, ch, 91, 40);
    }
    tracks[5].Control(0, 9, 7, 100);
    std::map<char, Phrase> phrases;
    uint32_t bar0 = 0;
    for (size_t s = 0; s < form.size(); ++s) {
        const char id = form[s];
        const std::vector<Chord>& chords = sections.at(id);
        if (!phrases.count(id)) phrases[id] = MakePhrase(st, chords, st.seed + uint32_t(id));
        const uint32_t base = bar0 * kBar;
        // Lead: the section's phrase; an octave lower the first time through, for lift later.
        const int shift = (s == 0 && st.lowIntro) ? -12 : 0;
        for (const Phrase::N& n : phrases[id].notes) tracks[1].Note(base + n.at, n.len, 0, n.key + shift, 96);
        for (size_t b = 0; b < chords.size(); ++b) {
            const Chord& c = chords[b];
            const uint32_t t0 = base + uint32_t(b) * kBar;
            const auto tri = Triad(c);
            // Pad: the triad held for the bar, released just before the next one.
            for (int k : tri) tracks[3].Note(t0, kBar - 40, 2, k + 12, 50);
            // Arpeggio.
            const int arp[8] = {0, 1, 2, 3, 4, 3, 2, 1};
            const uint32_t step = st.sixteenthArp ? kSixteenth : kEighth;
            for (uint32_t t = 0, i = 0; t < kBar; t += step, ++i) {
                const int idx = arp[i % 8];
                const int key = tri[size_t(idx % 3)] + 24 + 12 * (idx / 3);
                tracks[2].Note(t0 + t, step * 8 / 10, 1, key, i % 4 == 0 ? 70 : 54);
            }
            // Bass: driving eighths with an octave lift on the off-beats.
            for (uint32_t t = 0, i = 0; t < kBar; t += kEighth, ++i) {
                int key = c.root - 12 + ((i % 2 && st.fourOnFloor) ? 12 : 0);
                if (i == 6 && !st.fourOnFloor) key += 7;
                tracks[4].Note(t0 + t, kEighth * 8 / 10, 3, key, i % 2 ? 80 : 100);
            }
            // Drums: kick 36, snare 38, closed hat 42, open hat 46, crash 49.
            MidiTrack& d = tracks[5];
            for (uint32_t beat = 0; beat < 4; ++beat) {
                const uint32_t t = t0 + beat * kDivision;
                if (st.fourOnFloor || beat % 2 == 0) d.Note(t, 60, 9, 36, 110);
                if (beat % 2 == 1) d.Note(t, 60, 9, 38, 100);
                const uint32_t hats = st.fourOnFloor ? 4 : 2;
                for (uint32_t h = 0; h < hats; ++h)
                    d.Note(t + h * kDivision / hats, 40, 9, (h == hats / 2 && st.fourOnFloor) ? 46 : 42,
                           h == 0 ? 80 : 60);
            }
            if (b == 0) d.Note(t0, 120, 9, 49, 90);
            if (b + 1 == chords.size()) {  // a fill into the next section
                for (uint32_t f = 0; f < 4; ++f)
                    d.Note(t0 + 3 * kDivision + f * kSixteenth, 50, 9, 45 + int(f) % 2 * 3, 90);
            }
        }
        bar0 += uint32_t(chords.size());
    }
    return MidiFile(tracks, kDivision, bar0 * kBar);
}

}  // namespace

QByteArray ComposeTitleTheme() {
    // A minor, an easy synth-pop stride.
    const Chord Am{45, true}, F{41, false}, C{48, false}, G{43, false}, E{40, false}, Dm{38, true},
        Em{40, true};
    std::map<char, std::vector<Chord>> sections = {
        {'A', {Am, F, C, G, Am, F, G, E}},
        {'B', {F, G, Em, Am, Dm, G, C, E}},
        {'C', {F, F, G, G, Em, Em, Am, E}},
    };
    Style st{"VOLTRAX opening", 112, 80, 5, 89, 38, 69, 86, false, false, true, 1977, {9, 11, 0, 2, 4, 5, 7}};
    return Compose(st, sections, "ABACAB");
}

QByteArray ComposeMatchTheme() {
    // E minor, faster, four on the floor.
    const Chord Em{40, true}, C{48, false}, D{38, false}, B{47, false}, Am{45, true}, Bm{47, true},
        G{43, false};
    std::map<char, std::vector<Chord>> sections = {
        {'A', {Em, C, D, B, Em, C, Am, B}},
        {'B', {C, D, Bm, Em, Am, D, G, B}},
        {'C', {Am, Am, Em, Em, C, D, B, B}},
    };
    Style st{"VOLTRAX match", 152, 81, 81, 90, 38, 64, 83, true, true, false, 2024, {4, 6, 7, 9, 11, 0, 2}};
    return Compose(st, sections, "AABACB");
}

}  // namespace gen
