#include "window/qt_host.h"

#include <QCoreApplication>
#include <QEventLoop>

#include "window/main_pict_view.h"

namespace vx {

QtHost::QtHost(QObject* parent) : QObject(parent) {}

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

void QtHost::EndProgram() {
    if (ending_) return;
    ending_ = true;
    QCoreApplication::exit(0);
}

}  // namespace vx
