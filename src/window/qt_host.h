// QtHost: the Host of the real program. The millisecond clock is the monotonic clock;
// the game's ticks come from one single-shot precise timer set for the next deadline
// (or for right after the pending events), so the window's own event loop sleeps in
// between: an idle screen costs no CPU and a match wakes once a frame. Right after a
// wait's end the pending events are the ones the loop has just handled (it wakes for
// each), so a tick ending a wait that asks for them carries on without another pass.
#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

#include "platform/clock.h"
#include "platform/host.h"

namespace vx {

class MainPictView;

class QtHost : public QObject, public Host {
  public:
    explicit QtHost(QObject* parent = nullptr);

    // The view that shows MainPict; until there is one (and after null) nothing is shown.
    void ShowOn(MainPictView* view) { view_ = view; }
    MainPictView* ShownOn() const { return view_; }

    int64_t NowMs() override { return SteadyNowMs(); }
    void WakeAfter(int64_t deadlineMs) override;
    void WakeAfterEvents() override;
    void Present(int x, int y, int w, int h) override;
    void Refresh() override;
    void SetMousePointer(MousePointer pointer) override;
    // Stops the ticks and leaves the application's event loop.
    void EndProgram() override;
    bool Ending() const override { return ending_; }

  private:
    MainPictView* view_ = nullptr;
    QTimer tick_;
    bool afterEvents_ = false;
    bool slept_ = false;       // the deadline was ahead when set: the loop waits for it
    bool mayCarryOn_ = false;  // a tick ending a wait is running
    bool carryOn_ = false;     // it asked for the pending events: the next tick follows it
    int64_t deadlineMs_ = 0;
    bool ending_ = false;
};

}  // namespace vx
