// QtHost: the Host of the real program. The millisecond clock is the monotonic clock;
// waits run a nested Qt event loop that sleeps until the next event or a precise timer
// at the deadline, so a frame's wait costs no CPU.
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
    bool DoEvents() override;
    bool WaitPast(int64_t deadlineMs) override;
    void Present(int x, int y, int w, int h) override;
    void Refresh() override;
    void SetMousePointer(MousePointer pointer) override;
    // Leaves every running event loop; the game's loops see Ending() and unwind.
    void EndProgram() override;
    bool Ending() const override { return ending_; }

  private:
    MainPictView* view_ = nullptr;
    bool ending_ = false;
};

}  // namespace vx
