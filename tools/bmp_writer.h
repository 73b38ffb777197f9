// Uncompressed 24-bit BMP files, written byte by byte so the same picture always gives
// the same file (no time stamps, no resolution guessed from the screen).
#pragma once

#include <QImage>
#include <QString>

namespace gen {

bool WriteBmp24(const QString& path, const QImage& picture);
bool WriteBytes(const QString& path, const QByteArray& bytes);

}  // namespace gen
