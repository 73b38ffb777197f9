#include "window/options_store.h"

#include <QSettings>
#include <QStandardPaths>

namespace vx {

namespace {

// The settings names of the key dialog's rows, in KeyAction order.
constexpr const char* kKeyNames[kKeyActionCount] = {"player1Up", "player1Down", "player2Up", "player2Down",
                                                    "pause"};
// X11 key codes run from 8 to 255.
constexpr uint32_t kFirstKeyCode = 8, kLastKeyCode = 255;

QString KeyEntry(int i, const char* suffix = "") {
    return QStringLiteral("keys/") + QLatin1String(kKeyNames[i]) + QLatin1String(suffix);
}

}  // namespace

QString NewOptionsPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/voltrax/voltrax.ini");
}

NewOptions LoadNewOptions(const QString& path) {
    NewOptions options;
    const QSettings s(path, QSettings::IniFormat);
    for (int i = 0; i < kKeyActionCount; ++i) {
        bool ok = false;
        const uint32_t code = s.value(KeyEntry(i), 0).toUInt(&ok);
        if (!ok || code < kFirstKeyCode || code > kLastKeyCode) continue;
        KeyBinding& key = options.keys[static_cast<size_t>(i)];
        key.physicalKey = code;
        key.label = s.value(KeyEntry(i, "Label")).toString().toStdString();
    }
    options.fullScreen = s.value(QStringLiteral("window/fullScreen"), options.fullScreen).toBool();
    options.pauseOnFocusLoss =
        s.value(QStringLiteral("play/pauseOnFocusLoss"), options.pauseOnFocusLoss).toBool();
    options.language = s.value(QStringLiteral("general/language")).toString().toStdString();
    options.networkLine = s.value(QStringLiteral("network/showLine"), options.networkLine).toBool();
    // "auto" or a number of frames 0..4; anything else is the automatic delay.
    bool ok = false;
    const int delay = s.value(QStringLiteral("network/inputDelay")).toString().toInt(&ok);
    options.inputDelay = ok && delay >= 0 && delay <= kMaxFixedInputDelay ? delay : -1;
    options.lobby = s.value(QStringLiteral("Online/Lobby")).toString().trimmed().toStdString();
    return options;
}

bool SaveNewOptions(const NewOptions& options, const QString& path) {
    QSettings s(path, QSettings::IniFormat);
    for (int i = 0; i < kKeyActionCount; ++i) {
        const KeyBinding& key = options.keys[static_cast<size_t>(i)];
        if (key.physicalKey == 0) {
            s.remove(KeyEntry(i));
            s.remove(KeyEntry(i, "Label"));
            continue;
        }
        s.setValue(KeyEntry(i), key.physicalKey);
        s.setValue(KeyEntry(i, "Label"), QString::fromStdString(key.label));
    }
    s.setValue(QStringLiteral("window/fullScreen"), options.fullScreen);
    s.setValue(QStringLiteral("play/pauseOnFocusLoss"), options.pauseOnFocusLoss);
    s.setValue(QStringLiteral("general/language"), QString::fromStdString(options.language));
    s.setValue(QStringLiteral("network/showLine"), options.networkLine);
    s.setValue(QStringLiteral("network/inputDelay"),
               options.inputDelay < 0 ? QStringLiteral("auto") : QString::number(options.inputDelay));
    s.setValue(QStringLiteral("Online/Lobby"), QString::fromStdString(options.lobby));
    s.sync();
    return s.status() == QSettings::NoError;
}

}  // namespace vx
