#include "sound_effects.h"

#include <cmath>

#include "wav_synth.h"

namespace gen {

namespace {

double Midi(int note) {
    return 440.0 * std::pow(2.0, (note - 69) / 12.0);
}

// A bright two-oscillator note for the jingles.
void Note(Samples& s, double at, double len, int note, double gain) {
    AddTone(s, at, len, Midi(note), Midi(note), gain, Wave::Square, 2.2);
    AddTone(s, at, len, Midi(note) * 2.003, Midi(note) * 2.003, gain * 0.35, Wave::Sine, 3.0);
}

Samples PaddleHit() {  // wave1: a short electric "pok"
    Samples s = Silence(0.09);
    AddTone(s, 0, 0.09, 1320, 880, 0.8, Wave::Triangle, 45);
    AddNoise(s, 0, 0.02, 0.35, 120, 0.6, 11);
    return s;
}

Samples Burst() {  // wave2: a crackling discharge with a falling zap
    Samples s = Silence(0.42);
    AddNoise(s, 0, 0.42, 0.9, 9, 0.35, 22);
    AddTone(s, 0, 0.3, 900, 90, 0.6, Wave::Saw, 8);
    return s;
}

Samples Click() {  // wave3: a crisp button tick
    Samples s = Silence(0.05);
    AddTone(s, 0, 0.05, 2400, 1800, 0.7, Wave::Sine, 70);
    AddNoise(s, 0, 0.008, 0.3, 300, 0.9, 33);
    return s;
}

Samples ReadyChime() {  // wave4: a rising two-note chime
    Samples s = Silence(0.7);
    AddTone(s, 0.0, 0.7, Midi(76), Midi(76), 0.5, Wave::Sine, 5);
    AddTone(s, 0.0, 0.7, Midi(88), Midi(88), 0.15, Wave::Sine, 7);
    AddTone(s, 0.16, 0.54, Midi(83), Midi(83), 0.55, Wave::Sine, 4.5);
    AddTone(s, 0.16, 0.54, Midi(95), Midi(95), 0.15, Wave::Sine, 6);
    return s;
}

Samples Jingle(const int* notes, const double* beats, int count, double beat, double tail) {
    double t = 0;
    Samples s = Silence(0.1);
    for (int i = 0; i < count; ++i) {
        const double len = beats[i] * beat;
        if (notes[i] > 0) Note(s, t, len + (i == count - 1 ? tail : 0.02), notes[i], 0.4);
        t += len;
    }
    FadeOut(s, 0.05);
    return s;
}

}  // namespace

QByteArray MakeEffect(int n) {
    Samples s;
    switch (n) {
        case 1: s = PaddleHit(); break;
        case 2: s = Burst(); break;
        case 3: s = Click(); break;
        case 4: s = ReadyChime(); break;
        case 5: {  // draw: an unresolved shrug, up and back down
            const int notes[] = {67, 72, 71, 67, 69};
            const double beats[] = {1, 1, 1, 1, 2};
            s = Jingle(notes, beats, 5, 0.19, 0.35);
            break;
        }
        case 6: {  // player 1 wins: a rising fanfare in C
            const int notes[] = {60, 64, 67, 72, 67, 72, 76};
            const double beats[] = {1, 1, 1, 2, 1, 1, 4};
            s = Jingle(notes, beats, 7, 0.13, 0.35);
            break;
        }
        case 7: {  // player 2 wins: the same shape in E flat, a touch brassier
            const int notes[] = {63, 67, 70, 75, 70, 75, 79};
            const double beats[] = {1, 1, 1, 2, 1, 1, 4};
            s = Jingle(notes, beats, 7, 0.13, 0.35);
            break;
        }
        case 8: {  // you lose: a drooping minor line
            const int notes[] = {67, 66, 65, 64, 63, 62, 60};
            const double beats[] = {1, 1, 1, 1, 1, 1, 4};
            s = Jingle(notes, beats, 7, 0.16, 0.4);
            break;
        }
        case 9: {  // you win: a quick run up to a held high note
            const int notes[] = {72, 74, 76, 79, 84, 0, 79, 84, 88};
            const double beats[] = {0.5, 0.5, 0.5, 0.5, 1, 0.5, 0.5, 1, 4};
            s = Jingle(notes, beats, 9, 0.15, 0.4);
            break;
        }
        case 10: {  // time up: a buzzer, three pulses
            s = Silence(0.9);
            for (int i = 0; i < 3; ++i) {
                AddTone(s, i * 0.22, 0.18, 220, 220, 0.5, Wave::Square, 1.5);
                AddTone(s, i * 0.22, 0.18, 331, 331, 0.3, Wave::Saw, 1.5);
            }
            break;
        }
        case 11: {  // game set: a bell struck twice
            s = Silence(1.1);
            for (int i = 0; i < 2; ++i) {
                AddTone(s, i * 0.18, 0.9, Midi(81), Midi(81), 0.5, Wave::Sine, 3.5);
                AddTone(s, i * 0.18, 0.9, Midi(81) * 2.76, Midi(81) * 2.76, 0.2, Wave::Sine, 6);
                AddTone(s, i * 0.18, 0.9, Midi(81) * 5.4, Midi(81) * 5.4, 0.1, Wave::Sine, 9);
            }
            break;
        }
        default: s = Click(); break;
    }
    FadeOut(s, 0.01);
    return WavFile(NormaliseToPcm16(s, kEffectPeak));
}

}  // namespace gen
