#include "window/ui_translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace vx {

namespace {

QTranslator*& Installed() {
    static QTranslator* translator = nullptr;
    return translator;
}

// Qt's own texts (the file dialog's buttons and labels) come in English; in Japanese they
// come from the system's Qt translations when those are installed.
QTranslator*& InstalledQtTexts() {
    static QTranslator* translator = nullptr;
    return translator;
}

void Uninstall(QTranslator*& installed) {
    if (installed == nullptr) return;
    QCoreApplication::removeTranslator(installed);
    delete installed;
    installed = nullptr;
}

void UseJapaneseQtTexts() {
    auto* translator = new QTranslator();
    if (!translator->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return;
    }
    QCoreApplication::installTranslator(translator);
    InstalledQtTexts() = translator;
}

}  // namespace

bool UseLanguage(const std::string& language) {
    QTranslator*& installed = Installed();
    Uninstall(installed);
    Uninstall(InstalledQtTexts());
    if (language == "ja") {
        UseJapaneseQtTexts();
        return true;
    }
    auto* translator = new QTranslator();
    if (!translator->load(QStringLiteral(":/i18n/voltrax_en.qm"))) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    installed = translator;
    return true;
}

std::string CurrentLanguage() {
    return Installed() != nullptr ? "en" : "ja";
}

QString MenuCaption(const char* caption) {
    return QCoreApplication::translate("MenuModel", caption);
}

}  // namespace vx
