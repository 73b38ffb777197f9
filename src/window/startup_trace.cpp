#include "window/startup_trace.h"

#include <QEvent>
#include <QObject>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace vx {

namespace {

// The launch time the probe handed over, or a negative number when not tracing.
double LaunchMs() {
    static const double launch = [] {
        const char* text = std::getenv("VOLTRAX_STARTUP_TRACE");
        return text != nullptr && *text != '\0' ? std::atof(text) : -1.0;
    }();
    return launch;
}

class FirstPaintFilter : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            TraceStartup("first paint of the picture begins");
            QTimer::singleShot(0, [] { TraceStartup("event loop after the first paint"); });
            watched->removeEventFilter(this);
            deleteLater();
        }
        return false;
    }
};

}  // namespace

void TraceStartup(const char* step) {
    if (LaunchMs() < 0) return;
    const double now =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch())
            .count();
    // CPU of this thread and of the whole process (every thread) so far, in ms: on a busy
    // machine the wall clock mostly measures the wait for a core.
    auto cpuMs = [](clockid_t clock) {
        timespec t{};
        clock_gettime(clock, &t);
        return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
    };
    std::fprintf(stderr, "voltrax: startup %7.1f ms  main thread cpu %6.1f ms  process cpu %6.1f ms  %s\n",
                 now - LaunchMs(), cpuMs(CLOCK_THREAD_CPUTIME_ID), cpuMs(CLOCK_PROCESS_CPUTIME_ID), step);
}

void TraceFirstPaint(QWidget* widget) {
    if (LaunchMs() < 0 || widget == nullptr) return;
    widget->installEventFilter(new FirstPaintFilter(widget));
}

}  // namespace vx
