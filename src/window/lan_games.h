// Games on this network, over UDP (the datagram is frontend/lan_announcement.h).
// LanAnnouncer: a host waiting for its guest says so once a second, by IPv4 broadcast on
// every interface that has one and by IPv6 multicast to all nodes (ff02::1).
// LanListener: what the "play online" dialog hears while it is open, one entry per
// address and port, for as long as it keeps hearing it.
#pragma once

#include <QElapsedTimer>
#include <QHostAddress>
#include <QObject>
#include <QTimer>
#include <QUdpSocket>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "frontend/lan_announcement.h"

namespace vx {

class LanAnnouncer : public QObject {
  public:
    explicit LanAnnouncer(QObject* parent = nullptr);

    // Says at once and then every second that this program waits on port (by address;
    // 0 for a room) or in room roomCode, with stage on its stage select. The same game
    // again changes nothing; another one is said from now on.
    void Start(uint16_t port, int stage, const std::string& roomCode = {});
    void Stop();
    bool Announcing() const { return timer_.isActive(); }
    const LanGame& Game() const { return game_; }

    // Where the datagrams go: by default broadcast and multicast to kLanDiscoveryPort;
    // tests send to one address (loopback) and port of their own.
    void SendOnlyTo(const QHostAddress& address, uint16_t port);

  private:
    void Send();

    QUdpSocket socket_;
    QTimer timer_;
    LanGame game_;
    QByteArray datagram_;
    QHostAddress onlyTo_;
    uint16_t toPort_ = kLanDiscoveryPort;
};

// One game heard: the address it came from (IPv4 dotted, or IPv6 with its scope), the
// game, and when it was last heard.
struct LanEntry {
    QString address;
    LanGame game;
    int64_t heardMs = 0;  // on the listener's clock
};

class LanListener : public QObject {
  public:
    static constexpr int64_t kForgetAfterMs = 5000;

    // Listens on port (shared with other programs on this machine that listen too).
    explicit LanListener(uint16_t port = kLanDiscoveryPort, QObject* parent = nullptr);
    bool Listening() const { return socket_.state() == QAbstractSocket::BoundState; }

    // The games heard in the last kForgetAfterMs, each address and port once, ordered by
    // name and address. A game heard both over IPv4 and IPv6 is listed by its IPv4
    // address; one heard over IPv6 only is listed when it has a room code (network
    // matches by address are IPv4).
    std::vector<LanEntry> Games() const;
    // Called when a datagram of a game arrived (new or heard again).
    std::function<void()> onHeard;

  private:
    void Read();

    QUdpSocket socket_;
    QElapsedTimer clock_;
    std::map<std::string, LanEntry> heard_;  // by address:port
};

}  // namespace vx
