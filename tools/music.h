// The two background tunes: a title theme and a faster match theme, General MIDI,
// composed from chord tables and seeded motifs so the build always writes the same notes.
#pragma once

#include <QByteArray>

namespace gen {

QByteArray ComposeTitleTheme();  // "opening.mid"
QByteArray ComposeMatchTheme();  // "bgm1.mid"

}  // namespace gen
