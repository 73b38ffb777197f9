#include "window/lan_games.h"

#include <QNetworkDatagram>
#include <QNetworkInterface>
#include <QSysInfo>
#include <algorithm>

#include "platform/version.h"

namespace vx {

namespace {

constexpr int kAnnounceEveryMs = 1000;
// A burst of datagrams is read at most this many at a time; the rest wait for the next
// readyRead, so a flood cannot hold the window.
constexpr int kMaxReadsPerCall = 64;

std::string ThisMachinesName() {
    QString name = QSysInfo::machineHostName();
    if (name.isEmpty()) name = qEnvironmentVariable("USER");
    return LanHostName(name.toStdString());
}

}  // namespace

LanAnnouncer::LanAnnouncer(QObject* parent) : QObject(parent) {
    timer_.setInterval(kAnnounceEveryMs);
    connect(&timer_, &QTimer::timeout, this, [this] { Send(); });
}

void LanAnnouncer::SendOnlyTo(const QHostAddress& address, uint16_t port) {
    onlyTo_ = address;
    toPort_ = port;
}

void LanAnnouncer::Start(uint16_t port, int stage, const std::string& roomCode) {
    LanGame game{VOLTRAX_VERSION_TEXT, stage, port, roomCode, ThisMachinesName()};
    if (Announcing() && game == game_) return;
    game_ = std::move(game);
    datagram_ = QByteArray::fromStdString(WriteLanAnnouncement(game_));
    if (socket_.state() != QAbstractSocket::BoundState) socket_.bind(QHostAddress::Any, 0);
    timer_.start();
    Send();
}

void LanAnnouncer::Stop() {
    timer_.stop();
}

void LanAnnouncer::Send() {
    if (!onlyTo_.isNull()) {
        socket_.writeDatagram(datagram_, onlyTo_, toPort_);
        return;
    }
    // Every interface's own broadcast address: 255.255.255.255 would leave by one only.
    bool sent = false;
    for (const QNetworkInterface& face : QNetworkInterface::allInterfaces()) {
        const auto flags = face.flags();
        if (!flags.testFlag(QNetworkInterface::IsUp) || flags.testFlag(QNetworkInterface::IsLoopBack))
            continue;
        for (const QNetworkAddressEntry& entry : face.addressEntries()) {
            if (entry.ip().protocol() == QAbstractSocket::IPv4Protocol && !entry.broadcast().isNull()) {
                socket_.writeDatagram(datagram_, entry.broadcast(), toPort_);
                sent = true;
            }
        }
        if (flags.testFlag(QNetworkInterface::CanMulticast)) {
            QHostAddress allNodes(QStringLiteral("ff02::1"));
            allNodes.setScopeId(face.name());
            socket_.writeDatagram(datagram_, allNodes, toPort_);
        }
    }
    if (!sent) socket_.writeDatagram(datagram_, QHostAddress::Broadcast, toPort_);
}

LanListener::LanListener(uint16_t port, QObject* parent) : QObject(parent) {
    clock_.start();
    socket_.bind(QHostAddress::Any, port, QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint);
    connect(&socket_, &QUdpSocket::readyRead, this, [this] { Read(); });
}

void LanListener::Read() {
    bool heard = false;
    for (int i = 0; i < kMaxReadsPerCall && socket_.hasPendingDatagrams(); ++i) {
        const QNetworkDatagram datagram = socket_.receiveDatagram(static_cast<qint64>(kMaxLanDatagram) + 1);
        const QByteArray data = datagram.data();
        auto game = ReadLanAnnouncement(std::string_view(data.constData(), static_cast<size_t>(data.size())),
                                        nullptr);
        if (!game) continue;
        QHostAddress from = datagram.senderAddress();
        bool isV4 = false;
        const quint32 v4 = from.toIPv4Address(&isV4);
        if (isV4) from = QHostAddress(v4);  // a dual-stack socket hears IPv4 as ::ffff:a.b.c.d
        LanEntry entry{from.toString(), std::move(*game), clock_.elapsed()};
        // A game by address is one per address and port; rooms all announce port 0, so two
        // rooms made on one computer are told apart by their codes.
        heard_[entry.address.toStdString() + "|" + std::to_string(entry.game.port) + "|" +
               entry.game.roomCode] = std::move(entry);
        heard = true;
    }
    if (socket_.hasPendingDatagrams()) QTimer::singleShot(0, this, [this] { Read(); });
    if (heard && onHeard) onHeard();
}

std::vector<LanEntry> LanListener::Games() const {
    const int64_t now = clock_.elapsed();
    std::vector<LanEntry> games;
    for (const auto& [key, entry] : heard_)
        if (now - entry.heardMs <= kForgetAfterMs) games.push_back(entry);
    const auto isV6 = [](const LanEntry& e) { return e.address.contains(QLatin1Char(':')); };
    std::vector<LanGame> overV4;
    for (const LanEntry& e : games)
        if (!isV6(e)) overV4.push_back(e.game);
    std::erase_if(games, [&](const LanEntry& e) {
        return isV6(e) &&
               (e.game.roomCode.empty() || std::find(overV4.begin(), overV4.end(), e.game) != overV4.end());
    });
    std::sort(games.begin(), games.end(), [](const LanEntry& a, const LanEntry& b) {
        if (a.game.hostName != b.game.hostName) return a.game.hostName < b.game.hostName;
        return a.address < b.address;
    });
    return games;
}

}  // namespace vx
