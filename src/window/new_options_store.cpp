#include "window/new_options_store.h"

#include <QSettings>

namespace vx {

namespace {

constexpr const char* kPauseOnFocusLoss = "pauseOnFocusLoss";

}  // namespace

NewOptions LoadNewOptions() {
    const QSettings file(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("voltrax"),
                         QStringLiteral("voltrax"));
    NewOptions options;
    options.pauseOnFocusLoss = file.value(kPauseOnFocusLoss, options.pauseOnFocusLoss).toBool();
    return options;
}

void SaveNewOptions(const NewOptions& options) {
    QSettings file(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("voltrax"),
                   QStringLiteral("voltrax"));
    file.setValue(kPauseOnFocusLoss, options.pauseOnFocusLoss);
    file.sync();
}

}  // namespace vx
