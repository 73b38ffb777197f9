#include "window/shell_fonts.h"

#include <QFontDatabase>
#include <QString>
#include <QStringList>

namespace vx {

namespace {

constexpr const char* kFontFiles[] = {
    "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf",
    "/usr/share/fonts/truetype/ipafont-gothic/ipag.ttf",
};

QString LoadFamily() {
    for (const char* file : kFontFiles) {
        const int id = QFontDatabase::addApplicationFont(QString::fromUtf8(file));
        if (id < 0) continue;
        const QStringList families = QFontDatabase::applicationFontFamilies(id);
        if (!families.isEmpty()) return families.first();
    }
    return QStringLiteral("IPAGothic");
}

}  // namespace

QFont IpaGothicFont(int pixelSize) {
    static const QString family = LoadFamily();
    QFont font(family);
    font.setPixelSize(pixelSize);
    font.setStyleHint(QFont::Monospace);
    return font;
}

}  // namespace vx
