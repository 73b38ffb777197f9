// voltrax_find_picture SHOT REFERENCE [SCALE]: prints "X Y", the place where REFERENCE
// appears exactly in SHOT with each of its pixels drawn as a SCALE x SCALE block, and
// exits 0; exits 1 when it appears nowhere. The Wayland tier finds the game's picture in
// screenshots of whole outputs with it, wherever the compositor put the window.
#include <QGuiApplication>
#include <QImage>

#include <cstdio>
#include <cstdlib>

namespace {

bool MatchesAt(const QImage& shot, const QImage& ref, int scale, int x0, int y0) {
    for (int y = 0; y < ref.height(); ++y) {
        const auto* want = reinterpret_cast<const QRgb*>(ref.constScanLine(y));
        for (int dy = 0; dy < scale; ++dy) {
            const auto* have = reinterpret_cast<const QRgb*>(shot.constScanLine(y0 + y * scale + dy));
            for (int x = 0; x < ref.width(); ++x)
                for (int dx = 0; dx < scale; ++dx)
                    if (have[x0 + x * scale + dx] != want[x]) return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s SHOT REFERENCE [SCALE]\n", argv[0]);
        return 2;
    }
    const QImage shot = QImage(QString::fromLocal8Bit(argv[1])).convertToFormat(QImage::Format_RGB32);
    const QImage ref = QImage(QString::fromLocal8Bit(argv[2])).convertToFormat(QImage::Format_RGB32);
    const int scale = argc > 3 ? std::max(1, std::atoi(argv[3])) : 1;
    if (shot.isNull() || ref.isNull()) {
        std::fprintf(stderr, "cannot read the pictures\n");
        return 2;
    }
    const int w = ref.width() * scale, h = ref.height() * scale;
    for (int y = 0; y + h <= shot.height(); ++y)
        for (int x = 0; x + w <= shot.width(); ++x)
            if (shot.pixel(x, y) == ref.pixel(0, 0) && MatchesAt(shot, ref, scale, x, y)) {
                std::printf("%d %d\n", x, y);
                return 0;
            }
    return 1;
}
