// FrameProbe: a Host that passes every call through to the real one and notes when each
// frame of play starts, so the frame rhythm and the CPU it costs can be measured without
// changing what the game does. Also the small clocks and statistics the window figures use.
#pragma once

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "core/game.h"
#include "match/match_loop.h"
#include "platform/host.h"
#include "platform/wave_player.h"

namespace vx::bench {

inline double WallSeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// User plus system CPU seconds of this process, every thread included (the sound thread too).
inline double ProcessCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           1e-6 * double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
}

// CPU seconds of another process (the X server), from /proc; 0 when it cannot be read.
inline double OtherProcessCpuSeconds(long pid) {
    if (pid <= 0) return 0;
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), {});
    const auto close = text.rfind(')');
    if (close == std::string::npos) return 0;
    std::vector<std::string> fields;
    std::string field;
    for (char c : text.substr(close + 2)) {
        if (c == ' ') {
            fields.push_back(field);
            field.clear();
        } else {
            field += c;
        }
    }
    // After "(comm) ": state is field 0, utime field 11, stime field 12.
    if (fields.size() < 13) return 0;
    return double(std::stol(fields[11]) + std::stol(fields[12])) / double(sysconf(_SC_CLK_TCK));
}

// Peak resident set of this process in megabytes (VmHWM).
inline double PeakResidentMb() {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("VmHWM:", 0) == 0) return double(std::stol(line.substr(6))) / 1024.0;
    return 0;
}

struct IntervalFigures {
    double minMs = 0, medianMs = 0, p99Ms = 0, maxMs = 0;
    size_t count = 0;
};

inline IntervalFigures Summarise(std::vector<double> ms) {
    IntervalFigures f;
    f.count = ms.size();
    if (ms.empty()) return f;
    std::sort(ms.begin(), ms.end());
    auto at = [&](double q) { return ms[std::min(ms.size() - 1, size_t(q * double(ms.size() - 1) + 0.5))]; };
    f.minMs = ms.front();
    f.medianMs = at(0.5);
    f.p99Ms = at(0.99);
    f.maxMs = ms.back();
    return f;
}

// Counts frames of play from their request to let the events run (which the match loop
// makes right after noting FrameStart). After warmupFrames it notes the CPU and starts keeping the
// intervals between frame starts; after measuredFrames more it calls onDone once.
// An interval with a wait of another length inside (a goal's message, the intro) or an
// effect played to its end (the goal sound) is not a frame period: it is left out and
// counted in SkippedIntervals. Make the game with the probe as its host and a WaveTapper
// as its wave player, then Watch() it.
class FrameProbe : public Host {
  public:
    FrameProbe(Host& inner, int warmupFrames, int measuredFrames)
        : inner_(inner), warmup_(warmupFrames), measured_(measuredFrames) {
        inner_.SetTickHandler(this, [this] { RunTick(); });
    }
    ~FrameProbe() override { inner_.DropTickHandler(this); }

    // The game whose frames of play are counted; nothing is counted before.
    void Watch(const Game& g) { g_ = &g; }

    std::function<void()> onDone;
    long otherPid = 0;  // the X server, when there is one

    const std::vector<double>& IntervalsMs() const { return intervalsMs_; }
    int SkippedIntervals() const { return skipped_; }
    double CoreShare() const { return wall_ > 0 ? cpu_ / wall_ : 0; }
    double OtherCoreShare() const { return wall_ > 0 ? otherCpu_ / wall_ : 0; }
    double MeasuredSeconds() const { return wall_; }
    bool Done() const { return done_; }

    // Passes effects on, noting the ones the game waits for.
    class WaveTapper : public WavePlayer {
      public:
        WaveTapper(FrameProbe& probe, WavePlayer& inner) : probe_(probe), inner_(inner) {}
        void PlayWave(const std::filesystem::path& path, bool waitToEnd) override {
            if (waitToEnd) probe_.otherWait_ = true;
            inner_.PlayWave(path, waitToEnd);
        }

      private:
        FrameProbe& probe_;
        WavePlayer& inner_;
    };

    int64_t NowMs() override { return inner_.NowMs(); }
    void WakeAfterEvents() override {
        if (g_ != nullptr && g_->ScreenState == screen_state::kPlaying && g_->FrameStart != lastFrameStart_)
            NoteFrameStart();
        inner_.WakeAfterEvents();
    }
    void WakeAfter(int64_t deadlineMs) override {
        // A sequence's start (a deadline already past) is no wait.
        if (g_ != nullptr && deadlineMs != g_->FrameStart + match_timing::kFramePeriodMs &&
            deadlineMs >= inner_.NowMs())
            otherWait_ = true;
        inner_.WakeAfter(deadlineMs);
    }
    void Present(int x, int y, int w, int h) override { inner_.Present(x, y, w, h); }
    void Refresh() override { inner_.Refresh(); }
    void SetMousePointer(MousePointer pointer) override { inner_.SetMousePointer(pointer); }
    void EndProgram() override { inner_.EndProgram(); }
    bool Ending() const override { return inner_.Ending(); }

  private:
    void NoteFrameStart() {
        const double now = WallSeconds();
        lastFrameStart_ = g_->FrameStart;
        ++frames_;
        if (done_) return;
        if (frames_ == warmup_) {
            wall0_ = now;
            cpu0_ = ProcessCpuSeconds();
            otherCpu0_ = OtherProcessCpuSeconds(otherPid);
        } else if (frames_ > warmup_) {
            if (otherWait_)
                ++skipped_;
            else
                intervalsMs_.push_back(1e3 * (now - lastWall_));
            if (std::getenv("VOLTRAX_PROBE_DEBUG") && 1e3 * (now - lastWall_) > 37)
                std::fprintf(stderr, "frame %d: %.1f ms (t=%.3f)\n", frames_, 1e3 * (now - lastWall_), now);
            if (frames_ == warmup_ + measured_) {
                wall_ = now - wall0_;
                cpu_ = ProcessCpuSeconds() - cpu0_;
                otherCpu_ = OtherProcessCpuSeconds(otherPid) - otherCpu0_;
                done_ = true;
                if (onDone) onDone();
            }
        }
        lastWall_ = now;
        otherWait_ = false;
    }

    Host& inner_;
    const Game* g_ = nullptr;
    int warmup_, measured_;
    int frames_ = 0;
    int64_t lastFrameStart_ = -1;
    bool otherWait_ = false;
    bool done_ = false;
    double lastWall_ = 0, wall0_ = 0, cpu0_ = 0, otherCpu0_ = 0;
    double wall_ = 0, cpu_ = 0, otherCpu_ = 0;
    std::vector<double> intervalsMs_;
    int skipped_ = 0;
};

}  // namespace vx::bench
