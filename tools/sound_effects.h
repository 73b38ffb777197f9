// The eleven sound effects "wave1" ... "wave11": what each event of the game sounds like.
#pragma once

#include <QByteArray>

namespace gen {

constexpr int kEffectCount = 11;
constexpr double kEffectPeak = 0.89;  // about -1 dB of full scale

// The WAV file of effect n (1..11).
QByteArray MakeEffect(int n);

}  // namespace gen
