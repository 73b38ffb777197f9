#include "window/replay_dialogs.h"

#include <QCoreApplication>
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

QString Tr(const char* text) {
    return QCoreApplication::translate("ReplayDialogs", text);
}

// The offscreen and minimal platforms have no one to press OK, so there the line on
// standard error is the whole message.
void TellUnusable(QWidget* parent, const std::filesystem::path& file, const std::string& why) {
    std::cerr << "voltrax: " << file.string() << ": " << why << "\n";
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal")) return;
    // The reason is the same lower-case phrase as on standard error, made a sentence here.
    QString reason = QString::fromStdString(why);
    if (!reason.isEmpty()) reason[0] = reason[0].toUpper();
    QMessageBox::warning(
        parent, QStringLiteral("VOLTRAX"),
        Tr("リプレイ「%1」は再生できません。").arg(QString::fromStdString(file.filename().string())) +
            QStringLiteral("\n\n") + reason + QLatin1Char('.'));
}

}  // namespace

void WatchReplayFile(Game& g, QWidget* parent, const std::filesystem::path& file, uint32_t startFrame) {
    if (!CanWatchReplay(g)) return;
    Replay replay;
    std::string error;
    if (!ReadReplayFile(file, replay, error)) {
        TellUnusable(parent, file, error);
        return;
    }
    WatchReplay(g, replay, startFrame);
}

void ChooseAndWatchReplay(Game& g, QWidget* parent) {
    if (!CanWatchReplay(g)) return;
    std::error_code ec;
    if (!g.ReplayFolder.empty()) std::filesystem::create_directories(g.ReplayFolder, ec);
    // Qt's own dialog: it looks the same on every desktop and needs no portal.
    const QString file = QFileDialog::getOpenFileName(
        parent, Tr("リプレイを見る"), QString::fromStdString(g.ReplayFolder.string()),
        Tr("VOLTRAX のリプレイ (*.vxr);;すべてのファイル (*)"), nullptr, QFileDialog::DontUseNativeDialog);
    if (file.isEmpty()) return;
    WatchReplayFile(g, parent, std::filesystem::path(file.toStdString()));
}

}  // namespace vx
