#include "window/qt_host.h"

#include <QCoreApplication>
#include <QEventLoop>

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
}

bool QtHost::DoEvents() {
    if (ending_) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    return !ending_;
}

bool QtHost::WaitPast(int64_t deadlineMs) {
    while (!ending_) {
        const int64_t now = NowMs();
        if (now > deadlineMs) return true;
        QEventLoop loop;
        QTimer deadline;
        deadline.setSingleShot(true);
        deadline.setTimerType(Qt::PreciseTimer);
        connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
        deadline.start(static_cast<int>(deadlineMs + 1 - now));
        loop.exec();
    }
    return false;
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
    QCoreApplication::exit(0);
}

}  // namespace vx
