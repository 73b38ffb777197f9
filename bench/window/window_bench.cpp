// The program's cost in a real X window: frame start intervals and CPU during a match with
// music and effects on, CPU on the title with music and while paused, peak memory; and in
// the same run a busy wait (the headless match on the real clock, spinning between
// frames) as the baseline. Run under Xvfb by bench/window/run.sh.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QTimer>
#include <cstdlib>
#include <memory>

#include "core/game.h"
#include "core/menu_model.h"
#include "draw/screen_pictures.h"
#include "frame_probe.h"
#include "frontend/mouse.h"
#include "match/match_loop.h"
#include "platform/audio/audio_system.h"
#include "platform/clock.h"
#include "support/match_harness.h"
#include "support/screen_harness.h"
#include "window/main_pict_view.h"
#include "window/main_window.h"
#include "window/qt_host.h"
#include "window/qt_picture_decoder.h"

namespace vx::bench {
namespace {

constexpr int kWarmupFrames = 60;     // about 2 s of play before measuring
constexpr int kMeasuredFrames = 600;  // about 20 s

long XServerPid() {
    const char* pid = std::getenv("VOLTRAX_XSERVER_PID");
    return pid != nullptr ? std::atol(pid) : 0;
}

// What main.cpp builds: a game over a copy of the built program folder, the sound
// back-end and the main window over its QtHost; music turned on through its command.
// The game reaches the host and the effects through a FrameProbe, which only watches.
struct Program {
    QtHost windowHost;
    FrameProbe probe{windowHost, kWarmupFrames, kMeasuredFrames};
    audio::AudioSystem audio;
    FrameProbe::WaveTapper waves{probe, audio};
    testing::RealScreenHarness folder;
    Game& g = folder.tg.Remake(probe, waves, audio);
    std::unique_ptr<MainWindow> window;

    Program() {
        probe.Watch(g);
        InstallQtPictureDecoder(g.pictureLoader);
        LoadDesignPictures(g);
        window = std::make_unique<MainWindow>(g, windowHost);
        window->show();
        window->Start();
        if (!g.Menu.Checked(MenuId::MenuMidi)) window->RunMenuCommand(MenuId::MenuMidi);
        if (!g.Menu.Checked(MenuId::MenuWave)) window->RunMenuCommand(MenuId::MenuWave);
    }
    // Not closed through Form_Unload: ending the program would make every later event
    // loop of this process return at once.
    ~Program() { window.reset(); }
    void Click(float x, float y) {
        window->MainPict()->onMouseDown(PictMouse{mouse::kLeft, 0, x, y});
        window->MainPict()->onMouseUp(PictMouse{mouse::kLeft, 0, x, y});
    }
    // A key as the X server would deliver it: through the view's own key handling.
    void Key(int qtKey, uint32_t x11Code, bool release) {
        auto* event = new QKeyEvent(release ? QEvent::KeyRelease : QEvent::KeyPress, qtKey, Qt::NoModifier,
                                    x11Code, 0, 0);
        QCoreApplication::postEvent(window->MainPict(), event);
    }
};

// Runs the window's event loop until done() is called, as app.exec() would.
void RunEventLoopFor(int ms, const std::function<void()>& atEnd = {}) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, [&] {
        if (atEnd) atEnd();
        loop.quit();
    });
    loop.exec();
}

double SettleAndMeasureCpu(int warmupMs, int measureMs, double& xShare) {
    RunEventLoopFor(warmupMs);
    const double wall0 = WallSeconds(), cpu0 = ProcessCpuSeconds(), x0 = OtherProcessCpuSeconds(XServerPid());
    RunEventLoopFor(measureMs);
    const double wall = WallSeconds() - wall0;
    xShare = (OtherProcessCpuSeconds(XServerPid()) - x0) / wall;
    return (ProcessCpuSeconds() - cpu0) / wall;
}

void ReportIntervals(benchmark::State& state, const FrameProbe& probe) {
    const IntervalFigures f = Summarise(probe.IntervalsMs());
    state.counters["min_ms"] = f.minMs;
    state.counters["median_ms"] = f.medianMs;
    state.counters["p99_ms"] = f.p99Ms;
    state.counters["max_ms"] = f.maxMs;
    state.counters["frames"] = double(f.count);
    state.counters["skipped"] = probe.SkippedIntervals();
    state.counters["core_pct"] = 100.0 * probe.CoreShare();
    state.counters["xserver_pct"] = 100.0 * probe.OtherCoreShare();
}

// The title screen with the opening music playing, left alone for ten seconds.
void BM_TitleWithMusic(benchmark::State& state) {
    for (auto _ : state) {
        Program p;
        double xShare = 0;
        const double share = SettleAndMeasureCpu(2000, 10000, xShare);
        state.counters["core_pct"] = 100.0 * share;
        state.counters["xserver_pct"] = 100.0 * xShare;
        state.counters["music"] = p.g.Menu.Checked(MenuId::MenuMidi) ? 1 : 0;
        state.SetIterationTime(10.0);
    }
}
BENCHMARK(BM_TitleWithMusic)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// 1P VS CPU on the first stage with music and effects: A and Z press and release in turn
// while the CPU plays, about twenty seconds measured; then P pauses and the paused
// screen is left alone for ten seconds.
void BM_MatchInWindow(benchmark::State& state) {
    for (auto _ : state) {
        Program p;
        RunEventLoopFor(1500);
        FrameProbe& probe = p.probe;
        probe.otherPid = XServerPid();
        int paints = 0;
        p.window->MainPict()->onPainted = [&] { ++paints; };
        probe.onDone = [&] { p.Key(0x50, 33, false), p.Key(0x50, 33, true); };  // P

        QTimer keys;
        bool down = false, useA = true;
        QObject::connect(&keys, &QTimer::timeout, [&] {
            if (useA)
                p.Key(0x41, 38, down);  // A
            else
                p.Key(0x5a, 52, down);  // Z
            if (down) useA = !useA;
            down = !down;
        });
        keys.start(350);

        // 1P VS CPU, then OK: the match runs inside the OK click's handler until paused.
        QTimer::singleShot(0, [&] { p.Click(255, 183); });
        QTimer::singleShot(2500, [&] { p.Click(424, 273); });
        QEventLoop loop;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (probe.Done() && p.g.ScreenState == screen_state::kPaused) loop.quit();
        });
        watch.start(100);
        QTimer::singleShot(90000, &loop, &QEventLoop::quit);  // never hang the run
        loop.exec();
        keys.stop();
        watch.stop();
        ReportIntervals(state, probe);
        state.SetIterationTime(probe.MeasuredSeconds());
        p.window->MainPict()->onPainted = nullptr;
        state.counters["paints"] = paints;

        double xShare = 0;
        const double paused = SettleAndMeasureCpu(1000, 10000, xShare);
        state.counters["paused_core_pct"] = 100.0 * paused;
        state.counters["paused_state"] = p.g.ScreenState;
        state.counters["peak_rss_mb"] = PeakResidentMb();
    }
}
BENCHMARK(BM_MatchInWindow)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// The baseline: the real clock and a wait that keeps asking it (and letting nothing else
// run) until the frame's 34 ms are over. No window: only the wait's cost is of interest.
class SpinningHost : public Host {
  public:
    int64_t NowMs() override { return SteadyNowMs(); }
    void WakeAfter(int64_t deadlineMs) override {
        wake_ = true;
        deadlineMs_ = deadlineMs;
    }
    void WakeAfterEvents() override {
        wake_ = true;
        deadlineMs_ = INT64_MIN;
    }
    // Runs the ticks, asking the clock over and over until each deadline has passed.
    void Run() {
        while (wake_ && !ending_) {
            if (NowMs() > deadlineMs_) {
                wake_ = false;
                RunTick();
            }
        }
    }
    void Present(int, int, int, int) override {}
    void Refresh() override {}
    void SetMousePointer(MousePointer) override {}
    void EndProgram() override { ending_ = true; }
    bool Ending() const override { return ending_; }

  private:
    bool ending_ = false;
    bool wake_ = false;
    int64_t deadlineMs_ = 0;
};

void BM_BusyWaitBaseline(benchmark::State& state) {
    for (auto _ : state) {
        testing::MatchHarness h;
        SpinningHost spin;
        FrameProbe probe(spin, kWarmupFrames, kMeasuredFrames);
        probe.onDone = [&] { spin.EndProgram(); };
        FrameProbe::WaveTapper waves(probe, h.wave);
        probe.Watch(h.tg.Remake(probe, waves, h.seq));
        h.PrepareScreen();
        h.g().GameMode = game_mode::kVsCpu;
        h.g().StageNo = 1;
        h.g().TimeLeft = 120;
        RunMatch(h.g(), h.g().GameMode, h.g().StageNo);
        spin.Run();
        ReportIntervals(state, probe);
        state.SetIterationTime(probe.MeasuredSeconds());
    }
}
BENCHMARK(BM_BusyWaitBaseline)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vx::bench

int main(int argc, char** argv) {
    vx::PreferPlainXImageTransfer();  // as the program does
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
