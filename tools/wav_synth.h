// A small synthesiser for the sound effects and the writer of 16-bit PCM WAV files.
// Everything is computed from fixed seeds, so the same build gives the same bytes.
#pragma once

#include <QByteArray>
#include <cstdint>
#include <vector>

namespace gen {

constexpr int kSampleRate = 22050;

using Samples = std::vector<double>;

// Deterministic white noise in [-1, 1].
class Noise {
  public:
    explicit Noise(uint32_t seed) : state_(seed) {}
    double Next();

  private:
    uint32_t state_;
};

Samples Silence(double seconds);
// Adds a tone starting at `at` seconds: frequency glides from f0 to f1, with a
// percussive envelope (attack, then exponential decay) or a held one.
enum class Wave { Sine, Square, Triangle, Saw };
void AddTone(Samples& s, double at, double seconds, double f0, double f1, double gain, Wave wave,
             double decayPerSecond, double attack = 0.004);
void AddNoise(Samples& s, double at, double seconds, double gain, double decayPerSecond, double lowpass,
              uint32_t seed);
// Fades the last `seconds` to zero so nothing clicks at the end.
void FadeOut(Samples& s, double seconds);
// Scales so the largest magnitude is `peak` of full scale; returns the 16-bit PCM bytes.
QByteArray NormaliseToPcm16(const Samples& s, double peak);
// A RIFF/WAVE file of interleaved 16-bit samples; the game's effects are mono at kSampleRate.
QByteArray WavFile(const QByteArray& pcm16, int sampleRate = kSampleRate, int channels = 1);

}  // namespace gen
