// The "play online" dialog against hooks standing in for the network keeper, and a game
// on this network heard from an announcer on loopback.
#include "window/online_dialog.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QUdpSocket>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "frontend/lan_announcement.h"
#include "platform/version.h"
#include "window/lan_games.h"
#include "window/ui_translation.h"

namespace vx {
namespace {

using Stage = OnlineConnector::Stage;

// The dialog speaks English unless VOLTRAX_SHOTS_LANGUAGE=ja; VOLTRAX_SHOTS=dir keeps a
// picture of each state the test passes through, to look at by eye.
struct Shots {
    const char* dir = std::getenv("VOLTRAX_SHOTS");
    std::string language =
        std::getenv("VOLTRAX_SHOTS_LANGUAGE") ? std::getenv("VOLTRAX_SHOTS_LANGUAGE") : "en";
    Shots() { UseLanguage(language); }
    ~Shots() { UseLanguage("ja"); }
    void Take(QWidget& w, const char* state) const {
        if (dir == nullptr) return;
        QCoreApplication::processEvents();
        w.grab().save(QString::fromStdString(std::string(dir) + "/" + state + "-" + language + ".png"));
    }
};

uint16_t FreeUdpPort() {
    QUdpSocket probe;
    probe.bind(QHostAddress::LocalHost, 0);
    return probe.localPort();
}

TEST(OnlineDialogTest, AsksByLobbyOrNetworkFollowsTheAttemptAndJoinsAHeardGame) {
    // Qt 6.4's Wayland client follows a missing text-input object when a synthetic key
    // reaches a line edit on a seat with no keyboard (headless weston): the typing below
    // runs on the offscreen platform only.
    if (QGuiApplication::platformName() == QStringLiteral("wayland"))
        GTEST_SKIP() << "synthetic typing into line edits crashes Qt's Wayland client on a keyboardless seat";
    const Shots shots;
    std::vector<OnlineRequest> started;
    std::vector<std::string> kept;
    std::vector<std::pair<std::string, uint16_t>> joined;
    OnlineProgress now;
    int cancels = 0;
    OnlineDialogHooks hooks;
    hooks.start = [&](const OnlineRequest& r) {
        started.push_back(r);
        now = OnlineProgress{};
        now.active = true;
        return true;
    };
    hooks.progress = [&] { return now; };
    hooks.cancel = [&] {
        ++cancels;
        now = {};
    };
    hooks.joinAddress = [&](const std::string& address, uint16_t port) {
        joined.emplace_back(address, port);
        return true;
    };
    hooks.keepLobby = [&](const std::string& lobby) { kept.push_back(lobby); };
    const uint16_t lanPort = FreeUdpPort();
    OnlineDialog d(hooks, nullptr, lanPort);
    d.show();
    shots.Take(d, "no-lobby");

    // Without a lobby only the network's games and direct play are open, and a line says so.
    EXPECT_TRUE(d.NoLobbyLine()->isVisible());
    for (QWidget* part :
         {static_cast<QWidget*>(d.MakeRoomButton()), static_cast<QWidget*>(d.QuickMatchButton()),
          static_cast<QWidget*>(d.CodeField()), static_cast<QWidget*>(d.JoinButton())})
        EXPECT_FALSE(part->isEnabled());
    EXPECT_TRUE(d.LanList()->isEnabled());

    QTest::keyClicks(d.LobbyField(), " lobby.example:5222 ");
    EXPECT_FALSE(d.NoLobbyLine()->isVisible());
    EXPECT_TRUE(d.MakeRoomButton()->isEnabled());
    // A code is typed in upper case; look-alikes never get in.
    QTest::keyClicks(d.CodeField(), "7kq-o4m");
    EXPECT_EQ(d.CodeField()->text(), QStringLiteral("7KQ4M"));
    EXPECT_FALSE(d.JoinButton()->isEnabled());
    QTest::keyClicks(d.CodeField(), "x");
    EXPECT_TRUE(d.JoinButton()->isEnabled());
    shots.Take(d, "join");

    // Making a room: the code shows large once the lobby has it and Copy puts it on the
    // clipboard; nothing else may start meanwhile.
    // Room below the least height for a failure's few lines, not for the large code: the
    // code has to make the dialog taller.
    d.resize(d.width(), d.minimumSizeHint().height() + 3 * d.fontMetrics().height());
    QCoreApplication::processEvents();
    const int heightBefore = d.height();
    shots.Take(d, "before-attempt");
    d.MakeRoomButton()->click();
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0].kind, OnlineRequest::Kind::kMakeRoom);
    EXPECT_EQ(started[0].server, "lobby.example:5222");
    EXPECT_EQ(kept, std::vector<std::string>{"lobby.example:5222"});
    EXPECT_FALSE(d.JoinButton()->isEnabled());
    EXPECT_FALSE(d.CodeShown()->isVisible());
    now.stage = Stage::kWaiting;
    now.code = "7KQ4MX";
    d.PollNow();
    ASSERT_TRUE(d.CodeShown()->isVisible());
    EXPECT_EQ(d.CodeShown()->text().remove(QLatin1Char(' ')), QStringLiteral("7KQ4MX"));
    EXPECT_GE(d.CodeShown()->font().pointSize(), 30);
    QCoreApplication::processEvents();
    EXPECT_GT(d.height(), heightBefore) << "the code made room for itself";
    EXPECT_FALSE(d.StatusLine()->text().isEmpty());
    shots.Take(d, "room");
    d.CopyButton()->click();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("7KQ4MX"));
    // Our own room, which this program announces while it waits, is not listed; another
    // room heard after it (from another address) is.
    LanAnnouncer ours;
    ours.SendOnlyTo(QHostAddress::LocalHost, lanPort);
    ours.Start(0, 1, "7KQ4MX");
    QUdpSocket other;
    other.bind(QHostAddress(QStringLiteral("127.0.0.2")), 0);
    other.writeDatagram(QByteArray::fromStdString(
                            WriteLanAnnouncement(LanGame{VOLTRAX_VERSION_TEXT, 1, 0, "M4QK7X", "other"})),
                        QHostAddress::LocalHost, lanPort);
    ASSERT_TRUE(QTest::qWaitFor([&] { return d.LanList()->count() > 0; }, 3000));
    ASSERT_EQ(d.LanList()->count(), 1);
    EXPECT_TRUE(d.LanList()->item(0)->text().contains(QStringLiteral("M4QK7X")));
    ours.Stop();

    // A failure shows why in the interface's language, never the connector's English for
    // scripts; the code's room goes and the dialog is as high as before the attempt. It
    // stays, and the next attempt may start.
    now.stage = Stage::kFailed;
    now.failure = {OnlineFailReason::kVersionsDiffer, "The other player has VOLTRAX 9.9, this is 2.1.",
                   "9.9"};
    d.PollNow();
    QCoreApplication::processEvents();
    EXPECT_TRUE(d.FailureLine()->isVisible());
    const QString shown = d.FailureLine()->text();
    const QString expected = CurrentLanguage() == "en"
                                 ? QStringLiteral("The other player has VOLTRAX 9.9, this is VOLTRAX ")
                                 : QString::fromUtf8("相手は VOLTRAX 9.9、こちらは VOLTRAX ");
    EXPECT_TRUE(shown.contains(expected + QStringLiteral(VOLTRAX_VERSION_TEXT))) << shown.toStdString();
    EXPECT_FALSE(d.CodeShown()->isVisible()) << "the room went with the attempt";
    EXPECT_EQ(d.height(), heightBefore) << "the code's height was given back";
    EXPECT_TRUE(d.isVisible());
    shots.Take(d, "failure");
    d.JoinButton()->click();
    ASSERT_EQ(started.size(), 2u);
    EXPECT_EQ(started[1].kind, OnlineRequest::Kind::kJoinRoom);
    EXPECT_EQ(started[1].code, "7KQ4MX");
    EXPECT_FALSE(d.FailureLine()->isVisible());
    // The button under the list cancels the attempt and leaves the dialog open.
    d.CloseButton()->click();
    EXPECT_EQ(cancels, 1);
    EXPECT_TRUE(d.isVisible());
    EXPECT_TRUE(d.QuickMatchButton()->isEnabled());

    // A host waiting by address on this machine is heard and Enter joins it by address;
    // a stranger's malformed datagram is not listed.
    QUdpSocket stranger;
    stranger.writeDatagram(QByteArray("VOLTRAX1 2.1 1 47150 - "), QHostAddress::LocalHost, lanPort);
    LanAnnouncer host;
    host.SendOnlyTo(QHostAddress::LocalHost, lanPort);
    host.Start(47160, 2);
    // (The rooms heard above may still be remembered beside it.)
    const auto addressRow = [&] {
        for (int row = 0; row < d.LanList()->count(); ++row)
            if (d.LanList()->item(row)->text().contains(QStringLiteral("47160"))) return row;
        return -1;
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return addressRow() >= 0; }, 3000));
    for (int row = 0; row < d.LanList()->count(); ++row)
        EXPECT_FALSE(d.LanList()->item(row)->text().contains(QStringLiteral("47150")))
            << d.LanList()->item(row)->text().toStdString();
    shots.Take(d, "lan");
    d.LanList()->setCurrentRow(addressRow());
    d.LanList()->setFocus();
    QTest::keyClick(d.LanList(), Qt::Key_Return);
    host.Stop();
    ASSERT_EQ(joined.size(), 1u);
    EXPECT_EQ(joined[0], std::make_pair(std::string("127.0.0.1"), uint16_t{47160}));
    EXPECT_FALSE(d.isVisible()) << "the network match's own waiting takes over";
}

}  // namespace
}  // namespace vx
