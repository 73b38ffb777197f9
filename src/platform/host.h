// Host: everything the game asks of the window system (the millisecond clock,
// letting the window process its events, presenting changed areas of MainPict, the
// mouse pointer, ending the program). The game never reads a real clock or a
// window event itself; the Qt window and the headless test host implement this.
#pragma once

#include <cstdint>

namespace vx {

enum class MousePointer : uint8_t {
    Normal,     // the system arrow
    Invisible,  // the fully transparent cursor shown over the table during play
};

// Ending the program. EndProgram() never returns into a half-torn-down game: it marks
// the host as ending, and from then on DoEvents() and WaitPast() return false at once
// without delivering anything more. Every loop of the game (the waits, the match loop,
// the end-of-match sequence, the screen transitions) checks those results and returns
// straight away, touching nothing, so the whole nested call chain unwinds to the
// window's event handler, after which the window closes. Nothing is saved on the way
// out (the options were saved when they changed). Callers stop the music before
// calling EndProgram (EndTheProgram does both).
class Host {
  public:
    virtual ~Host() = default;

    // A 64-bit millisecond clock. Only differences matter.
    virtual int64_t NowMs() = 0;

    // Lets the window process the events that are pending now, once. Handlers run nested
    // inside this call. False when the program is ending.
    virtual bool DoEvents() = 0;

    // The wait rule: processes events until the clock reads strictly more than
    // deadlineMs, then returns (true) at the first such reading. Between events a real
    // host blocks until the next event or the deadline (a precise timer for the whole
    // milliseconds, at most a sub-millisecond spin) instead of polling, so a match does
    // not hold a core busy. Returns false as soon as the program is ending.
    virtual bool WaitPast(int64_t deadlineMs) = 0;

    // The w x h area of the game's MainPict at (x, y) has changed and must be repainted.
    // Areas may run past MainPict's edges; the host clips.
    virtual void Present(int x, int y, int w, int h) = 0;
    // MainPict.Refresh: show everything presented so far now.
    virtual void Refresh() = 0;

    virtual void SetMousePointer(MousePointer pointer) = 0;

    virtual void EndProgram() = 0;
    virtual bool Ending() const = 0;
};

}  // namespace vx
