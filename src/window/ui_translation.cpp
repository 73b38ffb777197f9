#include "window/ui_translation.h"

#include <QCoreApplication>
#include <QTranslator>

namespace vx {

namespace {

QTranslator*& Installed() {
    static QTranslator* translator = nullptr;
    return translator;
}

}  // namespace

bool UseLanguage(const std::string& language) {
    QTranslator*& installed = Installed();
    if (installed != nullptr) {
        QCoreApplication::removeTranslator(installed);
        delete installed;
        installed = nullptr;
    }
    if (language == "ja") return true;
    auto* translator = new QTranslator();
    if (!translator->load(QStringLiteral(":/i18n/voltrax_en.qm"))) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    installed = translator;
    return true;
}

QString MenuCaption(const char* caption) {
    return QCoreApplication::translate("MenuModel", caption);
}

}  // namespace vx
