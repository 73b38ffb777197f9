#include "window/net_dialogs.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressDialog>
#include <iostream>

#include "core/game.h"
#include "frontend/net_play.h"

namespace vx {

namespace {

constexpr int kPumpEveryMs = 15;

QString Tr(const char* text) {
    return QCoreApplication::translate("NetPlay", text);
}

bool NobodyToAsk() {
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("offscreen") || platform == QLatin1String("minimal");
}

}  // namespace

NetPlayKeeper::NetPlayKeeper(Game& g, QWidget* window) : g_(g), window_(window) {
    timer_.setInterval(kPumpEveryMs);
    connect(&timer_, &QTimer::timeout, this, [this] { Tick(); });
}

NetPlayKeeper::~NetPlayKeeper() {
    CloseWaiting();
}

void NetPlayKeeper::AskAndHost() {
    if (play_ || g_.ScreenState != screen_state::kTitle) return;
    bool ok = false;
    const int port = QInputDialog::getInt(window_, Tr("Open a network match"),
                                          Tr("UDP port to wait on (the other player joins this port):"),
                                          net::kDefaultPort, 1, 65535, 1, &ok);
    if (ok) Host(static_cast<uint16_t>(port));
}

void NetPlayKeeper::AskAndJoin() {
    if (play_ || g_.ScreenState != screen_state::kTitle) return;
    bool ok = false;
    const QString text =
        QInputDialog::getText(window_, Tr("Join a network match"),
                              Tr("The host's address, and its port if not 47150 (address:port):"),
                              QLineEdit::Normal, QString(), &ok)
            .trimmed();
    if (!ok || text.isEmpty()) return;
    std::string address, error;
    uint16_t port = 0;
    if (!ParseJoinAddress(text.toStdString(), address, port, error)) {
        Tell(QString::fromStdString(error));
        return;
    }
    Join(address, port);
}

bool NetPlayKeeper::Host(uint16_t port) {
    return Open(true, "", port);
}

bool NetPlayKeeper::Join(const std::string& address, uint16_t port) {
    return Open(false, address, port);
}

bool NetPlayKeeper::Open(bool host, const std::string& address, uint16_t port) {
    if (play_ || g_.ScreenState != screen_state::kTitle) return false;
    std::string error;
    play_ = NetPlay::Open(g_, host, address, port, error);
    if (!play_) {
        Tell(QString::fromStdString(error));
        return false;
    }
    if (verbose) play_->verbose = &std::cout;
    const QString where =
        host ? Tr("Waiting for the other player on UDP port %1...").arg(play_->Port())
             : Tr("Connecting to %1 port %2...").arg(QString::fromStdString(address)).arg(port);
    std::cerr << "voltrax: " << where.toStdString() << "\n";
    if (!NobodyToAsk()) {
        waiting_ = new QProgressDialog(where, Tr("Cancel"), 0, 0, window_);
        waiting_->setWindowTitle(QStringLiteral("VOLTRAX"));
        waiting_->setMinimumDuration(0);
        waiting_->setAttribute(Qt::WA_DeleteOnClose);
        connect(waiting_, &QProgressDialog::canceled, this, [this] {
            // Only while still waiting: once connected the dialog is gone.
            if (play_ && !play_->Connected()) {
                play_.reset();
                timer_.stop();
            }
        });
        waiting_->show();
    }
    timer_.start();
    return true;
}

void NetPlayKeeper::CloseWaiting() {
    if (waiting_) {
        waiting_->disconnect(this);
        waiting_->close();
    }
}

// The timer only keeps the link alive; what may change the screens (or play a whole
// match, on the guest) runs from the event queue, so that the timer keeps firing then.
void NetPlayKeeper::Tick() {
    if (!play_) {
        timer_.stop();
        return;
    }
    play_->Pump();
    if (pollQueued_) return;
    pollQueued_ = true;
    QMetaObject::invokeMethod(
        this, [this] { PollNow(); }, Qt::QueuedConnection);
}

void NetPlayKeeper::PollNow() {
    pollQueued_ = false;
    if (!play_) return;
    play_->Poll();
    if (play_->Connected() || play_->Finished()) CloseWaiting();
    if (play_->Finished() && play_->Deletable()) {
        const std::string message = play_->EndMessage();
        play_.reset();
        timer_.stop();
        if (!message.empty()) Tell(QString::fromStdString(message));
    }
}

void NetPlayKeeper::Tell(const QString& text) {
    std::cerr << "voltrax: " << text.toStdString() << "\n";
    if (NobodyToAsk()) return;
    QMessageBox::information(window_, QStringLiteral("VOLTRAX"), text);
}

}  // namespace vx
