#include "wav_synth.h"

#include <algorithm>
#include <cmath>

namespace gen {

double Noise::Next() {
    state_ = state_ * 1664525u + 1013904223u;
    return (double(state_ >> 8) / double(1u << 24)) * 2.0 - 1.0;
}

Samples Silence(double seconds) {
    return Samples(size_t(seconds * kSampleRate + 0.5), 0.0);
}

static double Shape(Wave w, double phase) {
    double f = phase - std::floor(phase);
    switch (w) {
        case Wave::Sine: return std::sin(2 * M_PI * f);
        case Wave::Square: return f < 0.5 ? 0.6 : -0.6;
        case Wave::Triangle: return f < 0.5 ? 4 * f - 1 : 3 - 4 * f;
        case Wave::Saw: return (2 * f - 1) * 0.6;
    }
    return 0;
}

void AddTone(Samples& s, double at, double seconds, double f0, double f1, double gain, Wave wave,
             double decay, double attack) {
    const size_t start = size_t(at * kSampleRate);
    const size_t n = size_t(seconds * kSampleRate);
    if (s.size() < start + n) s.resize(start + n, 0.0);
    double phase = 0;
    for (size_t i = 0; i < n; ++i) {
        const double t = double(i) / kSampleRate;
        const double f = f0 * std::pow(f1 / f0, t / seconds);
        phase += f / kSampleRate;
        double env = std::exp(-decay * t);
        if (t < attack) env *= t / attack;
        const double release = seconds - t;
        if (release < 0.01) env *= release / 0.01;
        s[start + i] += gain * env * Shape(wave, phase);
    }
}

void AddNoise(Samples& s, double at, double seconds, double gain, double decay, double lowpass,
              uint32_t seed) {
    Noise noise(seed);
    const size_t start = size_t(at * kSampleRate);
    const size_t n = size_t(seconds * kSampleRate);
    if (s.size() < start + n) s.resize(start + n, 0.0);
    double y = 0;
    for (size_t i = 0; i < n; ++i) {
        const double t = double(i) / kSampleRate;
        y += lowpass * (noise.Next() - y);
        double env = std::exp(-decay * t);
        if (t < 0.002) env *= t / 0.002;
        if (seconds - t < 0.01) env *= (seconds - t) / 0.01;
        s[start + i] += gain * env * y;
    }
}

void FadeOut(Samples& s, double seconds) {
    const size_t n = std::min(s.size(), size_t(seconds * kSampleRate));
    for (size_t i = 0; i < n; ++i) s[s.size() - 1 - i] *= double(i) / double(n);
}

QByteArray NormaliseToPcm16(const Samples& s, double peak) {
    double top = 0;
    for (double v : s) top = std::max(top, std::abs(v));
    const double k = top > 0 ? peak * 32767.0 / top : 0.0;
    QByteArray out;
    out.reserve(int(s.size() * 2));
    for (double v : s) {
        long q = std::lround(v * k);
        q = std::clamp(q, -32767L, 32767L);
        const uint16_t u = uint16_t(int16_t(q));
        out.append(char(u & 0xFF));
        out.append(char(u >> 8));
    }
    return out;
}

QByteArray WavFile(const QByteArray& pcm, int sampleRate, int channels) {
    QByteArray b;
    auto put32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i) b.append(char((v >> (8 * i)) & 0xFF));
    };
    auto put16 = [&](uint16_t v) {
        b.append(char(v & 0xFF));
        b.append(char(v >> 8));
    };
    b.append("RIFF");
    put32(uint32_t(36 + pcm.size()));
    b.append("WAVE");
    b.append("fmt ");
    put32(16);
    put16(1);  // PCM
    put16(uint16_t(channels));
    put32(uint32_t(sampleRate));
    put32(uint32_t(sampleRate * channels * 2));
    put16(uint16_t(channels * 2));
    put16(16);
    b.append("data");
    put32(uint32_t(pcm.size()));
    b.append(pcm);
    return b;
}

}  // namespace gen
