#include "window/replay_dialogs.h"

#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <iostream>
#include <system_error>

#include "core/game.h"
#include "frontend/replay_watch.h"
#include "match/replay_file.h"

namespace vx {

namespace {

// The offscreen and minimal platforms have no one to press OK, so there the line on
// standard error is the whole message.
void TellUnusable(QWidget* parent, const std::filesystem::path& file, const std::string& why) {
    std::cerr << "voltrax: " << file.string() << ": " << why << "\n";
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal")) return;
    QMessageBox::warning(
        parent, QStringLiteral("VOLTRAX"),
        QStringLiteral("%1\n\n%2")
            .arg(QString::fromStdString(file.filename().string()), QString::fromStdString(why)));
}

}  // namespace

void WatchReplayFile(Game& g, QWidget* parent, const std::filesystem::path& file) {
    if (!CanWatchReplay(g)) return;
    Replay replay;
    std::string error;
    if (!ReadReplayFile(file, replay, error)) {
        TellUnusable(parent, file, error);
        return;
    }
    WatchReplay(g, replay);
}

void ChooseAndWatchReplay(Game& g, QWidget* parent) {
    if (!CanWatchReplay(g)) return;
    std::error_code ec;
    if (!g.ReplayFolder.empty()) std::filesystem::create_directories(g.ReplayFolder, ec);
    // Qt's own dialog: it looks the same on every desktop and needs no portal.
    const QString file = QFileDialog::getOpenFileName(
        parent, QStringLiteral("リプレイを見る"), QString::fromStdString(g.ReplayFolder.string()),
        QStringLiteral("VOLTRAX replays (*.vxr);;All files (*)"), nullptr, QFileDialog::DontUseNativeDialog);
    if (file.isEmpty()) return;
    WatchReplayFile(g, parent, std::filesystem::path(file.toStdString()));
}

}  // namespace vx
