// Start-up timing for the start-up probe's breakdown: when VOLTRAX_STARTUP_TRACE holds
// the launch time (steady clock, ms), each step of the start-up prints on standard error
// how long after the launch it ended. Without the variable nothing is printed.
#pragma once

class QWidget;

namespace vx {

void TraceStartup(const char* step);

// Traces the widget's first paint (once) and the first turn of the event loop after it.
void TraceFirstPaint(QWidget* widget);

}  // namespace vx
