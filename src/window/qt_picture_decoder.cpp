#include "window/qt_picture_decoder.h"

#include <QImage>
#include <QPainter>

namespace vx {

bool DecodeWithQt(std::span<const uint8_t> bytes, Surface& out, std::string& error) {
    QImage decoded;
    if (bytes.empty() || !decoded.loadFromData(bytes.data(), static_cast<int>(bytes.size()))) {
        error = "not a picture Qt can read";
        return false;
    }
    QImage opaque(decoded.size(), QImage::Format_RGB32);
    opaque.fill(Qt::black);
    {
        QPainter painter(&opaque);
        painter.drawImage(0, 0, decoded);
    }
    Surface picture(opaque.width(), opaque.height(), kBlack);
    for (int y = 0; y < opaque.height(); ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(opaque.constScanLine(y));
        uint32_t* dest = picture.Row(y);
        for (int x = 0; x < opaque.width(); ++x) dest[x] = row[x] | kOpaque;
    }
    out = std::move(picture);
    return true;
}

}  // namespace vx
