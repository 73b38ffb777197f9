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

void QtHost::EndProgram() {
    if (ending_) return;
    ending_ = true;
    tick_.stop();
    QCoreApplication::exit(0);
}

}  // namespace vx
