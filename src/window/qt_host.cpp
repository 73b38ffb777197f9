#include "window/qt_host.h"

#include <QCoreApplication>

#include "window/main_pict_view.h"

namespace vx {

QtHost::QtHost(QObject* parent) : QObject(parent) {
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
        // A tick ending a wait that asks for the pending events carries on at once, once:
        // the loop woke for every event that came in while it slept and has handled them,
        // so a pass of the loop for "the events pending now" would only cost a wake-up
        // (one every frame of a match). A second request goes through the loop.
        carryOn_ = false;
        mayCarryOn_ = !afterEvents_ && slept_;
        RunTick();
        mayCarryOn_ = false;
        if (carryOn_ && !ending_) {
            carryOn_ = false;
            RunTick();
        }
    });
}

void QtHost::WakeAfter(int64_t deadlineMs) {
    if (ending_) return;
    carryOn_ = false;
    afterEvents_ = false;
    deadlineMs_ = deadlineMs;
    const int64_t now = NowMs();
    // A deadline already past (a sequence a handler began) is no wait: the events queued
    // behind that handler are still to come.
    slept_ = now <= deadlineMs;
    tick_.start(now > deadlineMs ? 0 : static_cast<int>(deadlineMs + 1 - now));
}

void QtHost::WakeAfterEvents() {
    if (ending_) return;
    afterEvents_ = true;
    if (mayCarryOn_) {
        carryOn_ = true;
        tick_.stop();
        return;
    }
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

void QtHost::EndProgram() {
    if (ending_) return;
    ending_ = true;
    tick_.stop();
    QCoreApplication::exit(0);
}

}  // namespace vx
