#include "window/qt_host.h"

#include <QCoreApplication>

#include "window/main_pict_view.h"

namespace vx {

namespace {
// Timer1 only notices the end of the music to start it again; 20 ms is no audible gap,
// and at 10 ms its wake-ups alone put the title with music over 2 % of a core.
constexpr int kTimer1IntervalMs = 20;
}  // namespace

QtHost::QtHost(QObject* parent) : QObject(parent) {
    timer1_.setInterval(kTimer1IntervalMs);
    connect(&timer1_, &QTimer::timeout, this, [this] {
        if (onTimer1 && !ending_) onTimer1();
    });
    tick_.setSingleShot(true);
    tick_.setTimerType(Qt::PreciseTimer);
    connect(&tick_, &QTimer::timeout, this, [this] {
        if (ending_) return;
        // A timer may fire a little early: the tick comes only past the deadline.
        if (!afterEvents_) {
            const int64_t now = NowMs();
            if (now <= deadlineMs_) {
                tick_.start(static_cast<int>(deadlineMs_ + 1 - now));
                return;
            }
        }
        RunTick();
    });
}

void QtHost::WakeAfter(int64_t deadlineMs) {
    if (ending_) return;
    afterEvents_ = false;
    deadlineMs_ = deadlineMs;
    const int64_t now = NowMs();
    tick_.start(now > deadlineMs ? 0 : static_cast<int>(deadlineMs + 1 - now));
}

void QtHost::WakeAfterEvents() {
    if (ending_) return;
    afterEvents_ = true;
    // A zero timer fires once the events already waiting have been handled.
    tick_.start(0);
}

void QtHost::Present(int x, int y, int w, int h) {
    if (view_ != nullptr) view_->Present(x, y, w, h);
}

void QtHost::Refresh() {
    if (view_ != nullptr) view_->Refresh();
}

void QtHost::SetMousePointer(MousePointer pointer) {
    if (view_ != nullptr) view_->SetInvisibleCursor(pointer == MousePointer::Invisible);
}

void QtHost::SetTimer1Enabled(bool enabled) {
    if (enabled && !ending_)
        timer1_.start();
    else
        timer1_.stop();
}

void QtHost::EndProgram() {
    if (ending_) return;
    ending_ = true;
    timer1_.stop();
    tick_.stop();
    QCoreApplication::exit(0);
}

}  // namespace vx
