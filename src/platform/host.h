// Host: everything the game asks of the window system (the millisecond clock, the
// ticks that run the game's flow, presenting changed areas of MainPict, the mouse
// pointer, ending the program). The game never reads a real clock or a window event
// itself; the Qt window and the headless test host implement this.
#pragma once

#include <cstdint>
#include <functional>
#include <utility>

namespace vx {

enum class MousePointer : uint8_t {
    Normal,     // the system arrow
    Invisible,  // the fully transparent cursor shown over the table during play
};

// Ending the program. EndProgram() marks the host as ending; from then on it calls no
// tick any more, and the game's flow drops the steps it had queued, so nothing of the
// game runs after it. Nothing is saved on the way out (the options were saved when
// they changed). Callers stop the music before calling EndProgram
// (EndTheProgram does both).
class Host {
  public:
    virtual ~Host() = default;

    // A 64-bit millisecond clock. Only differences matter.
    virtual int64_t NowMs() = 0;

    // The game's clock: the host calls the tick handler at the first clock reading
    // strictly past deadlineMs, before the events that come with that reading
    // (WakeAfter), or once the events pending now have been handled (WakeAfterEvents).
    // One request stands at a time and a new one replaces it; a tick uses it up. Between
    // ticks a real host sleeps in its event loop, so an idle screen costs nothing.
    virtual void WakeAfter(int64_t deadlineMs) = 0;
    virtual void WakeAfterEvents() = 0;
    // The one tick handler (the game's flow); owner names it for DropTickHandler.
    void SetTickHandler(const void* owner, std::function<void()> tick) {
        tickOwner_ = owner;
        tick_ = std::move(tick);
    }
    void DropTickHandler(const void* owner) {
        if (tickOwner_ != owner) return;
        tickOwner_ = nullptr;
        tick_ = nullptr;
    }

    // The w x h area of the game's MainPict at (x, y) has changed and must be repainted.
    // Areas may run past MainPict's edges; the host clips.
    virtual void Present(int x, int y, int w, int h) = 0;
    // MainPict.Refresh: show everything presented so far now.
    virtual void Refresh() = 0;

    virtual void SetMousePointer(MousePointer pointer) = 0;

    virtual void EndProgram() = 0;
    virtual bool Ending() const = 0;

  protected:
    void RunTick() {
        if (tick_) tick_();
    }

  private:
    const void* tickOwner_ = nullptr;
    std::function<void()> tick_;
};

}  // namespace vx
