#include "window/shell_fonts.h"

#include <QFontDatabase>
#include <QString>
#include <QStringList>

namespace vx {

namespace {

constexpr const char* kFontFolders[] = {
    "/usr/share/fonts/opentype/ipafont-gothic/",
    "/usr/share/fonts/truetype/ipafont-gothic/",
    "/usr/share/fonts/truetype/dejavu/",
};

QString LoadFamily(const char* fileName, const char* familyName) {
    for (const char* folder : kFontFolders) {
        const int id = QFontDatabase::addApplicationFont(QString::fromUtf8(folder) + QLatin1String(fileName));
        if (id < 0) continue;
        const QStringList families = QFontDatabase::applicationFontFamilies(id);
        if (!families.isEmpty()) return families.first();
    }
    return QString::fromLatin1(familyName);
}

}  // namespace

QFont IpaGothicFont(int pixelSize) {
    static const QString family = LoadFamily("ipag.ttf", "IPAGothic");
    QFont font(family);
    font.setPixelSize(pixelSize);
    font.setStyleHint(QFont::Monospace);
    return font;
}

QFont IpaPGothicFont(int pixelSize) {
    static const QString family = LoadFamily("ipagp.ttf", "IPAPGothic");
    QFont font(family);
    font.setPixelSize(pixelSize);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

QFont LatinMonoFont(int pixelSize) {
    static const QString family = LoadFamily("DejaVuSansMono.ttf", "DejaVu Sans Mono");
    QFont font(family);
    font.setPixelSize(pixelSize);
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    return font;
}

}  // namespace vx
