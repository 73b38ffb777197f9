#include "window/net_dialogs.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressDialog>
#include <cstdlib>
#include <iostream>
#include <optional>

#include "core/game.h"
#include "core/menu_model.h"
#include "frontend/net_play.h"
#include "frontend/watch_play.h"
#include "net/ice/ice_path_finder.h"
#include "net/ice/port_mapping.h"
#include "net/net_peer.h"
#include "net/packets.h"
#include "platform/clock.h"
#include "platform/online_module.h"
#include "platform/version.h"
#include "window/net_overlay.h"
#include "window/online_dialog.h"

namespace vx {

namespace {

constexpr int kPumpEveryMs = 15;

// The dialogs' texts are Japanese in the source, like the menu captions; the English
// ones are in translations/voltrax_en.ts under "NetPlay".
QString Tr(const char* text) {
    return QCoreApplication::translate("NetPlay", text);
}

// The name of a match setting as the options menu calls it.
QString SettingName(match_settings::Field field) {
    switch (field) {
        case match_settings::Field::Stage: return Tr("ステージ");
        case match_settings::Field::Rule: return Tr("ルール");
        case match_settings::Field::TimeLimit: return Tr("制限時間");
        case match_settings::Field::ScoreLimit: return Tr("得点");
        case match_settings::Field::Difficulty: return Tr("難易度");
    }
    return {};
}

// The end of a connection in the player's language; the English text from the link is
// the one written to standard error.
QString EndText(const NetPlay& play) {
    switch (play.EndReason()) {
        case net::end_reason::kPeerLeft: return Tr("相手がネット対戦を抜けました。");
        case net::end_reason::kSilence:
            return Tr("相手と 20 秒間つながりませんでした。ネット対戦を終わります。");
        case net::end_reason::kNoAnswer:
            return Tr(
                "そのアドレスから 5 "
                "秒間応答がありません。アドレスとポート、相手がネット対戦を開いているかを確かめてください。");
        case net::end_reason::kOutOfStep:
            if (play.DesyncFolder().empty()) return Tr("両方の試合が食い違いました。ネット対戦を止めます。");
            return Tr("両方の試合が食い違いました。ネット対戦を止めます。記録は %1 にあります。")
                .arg(QString::fromStdString(play.DesyncFolder()));
        case net::end_reason::kBadSettings:
            if (const auto& fault = play.Peer().BadSetting())
                return Tr("相手の試合設定の%1 (%2) はこの版では選べない値です。ネット対戦を終わります。")
                    .arg(SettingName(fault->field))
                    .arg(fault->value);
            return QString::fromStdString(play.EndMessage());
        case net::end_reason::kVersionMismatch:
            return Tr("相手は VOLTRAX %1 (通信プロトコル %2)、こちらは VOLTRAX %3 (通信プロトコル %4) です。"
                      "同じ版どうしで対戦してください。")
                .arg(QString::fromStdString(play.Peer().TheirVersion()))
                .arg(play.Peer().TheirProtocol())
                .arg(QString::fromStdString(play.Peer().OurVersion()))
                .arg(net::kProtocolVersion);
        default: return QString::fromStdString(play.EndMessage());
    }
}

// The way a connection goes, as the window's title names it.
QString PathWords(net::PathKind path) {
    switch (path) {
        case net::PathKind::kLan: return Tr("同じネットワーク");
        case net::PathKind::kDirect: return Tr("直接");
        case net::PathKind::kPunched: return Tr("ルーター越し");
        case net::PathKind::kMapped: return Tr("ポート転送");
        case net::PathKind::kRelay: return Tr("中継");
    }
    return {};
}

// What an online attempt is doing, in the player's language (the English ones are the
// connector's own words, for standard error).
QString OnlineStageText(const OnlineConnector& online, OnlineRequest::Kind kind) {
    switch (online.GetStage()) {
        case OnlineConnector::Stage::kLobby:
            return kind == OnlineRequest::Kind::kQuickMatch ? Tr("対戦相手を探しています...")
                                                            : Tr("ロビーに接続しています...");
        case OnlineConnector::Stage::kWaiting:
            return kind == OnlineRequest::Kind::kWatchRoom ? Tr("対戦が始まるのを待っています...")
                                                           : Tr("相手を待っています...");
        case OnlineConnector::Stage::kFindingPath: return Tr("相手への経路を探しています...");
        case OnlineConnector::Stage::kConnected:
            return Tr("接続しました (%1)。").arg(PathWords(online.Path()));
        case OnlineConnector::Stage::kFailed: return OnlineFailureText(online.WhyFailed());
    }
    return {};
}

// Why the watching ended, in the player's language where the watcher's words are fixed
// (a version mismatch names the versions, and stays in the watcher's English).
QString WatchEndText(const std::string& message) {
    if (message == "the players' connection ended")
        return Tr("対戦者どうしの接続が終わりました。観戦を終わります。");
    if (message == "the host ended the connection")
        return Tr("対戦を開いた側が接続を終えました。観戦を終わります。");
    if (message == "you fell too far behind") return Tr("観戦が遅れすぎたため、打ち切られました。");
    if (message == "the match already has as many watchers as it takes")
        return Tr("この対戦はもう観戦者でいっぱいです。");
    if (message == "nobody answered at that address")
        return Tr(
            "そのアドレスから 5 "
            "秒間応答がありません。アドレスとポート、相手がネット対戦を開いているかを確かめてください。");
    return QString::fromStdString(message);
}

bool NobodyToAsk() {
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("offscreen") || platform == QLatin1String("minimal");
}

}  // namespace

NetPlayKeeper::NetPlayKeeper(Game& g, QWidget* window, MainPictView* view) : g_(g), window_(window) {
    timer_.setInterval(kPumpEveryMs);
    connect(&timer_, &QTimer::timeout, this, [this] { Tick(); });
    if (view != nullptr) {
        overlay_ = std::make_unique<NetOverlay>(view);
        // Queued: accepting may start a whole match, which must not run inside the click.
        overlay_->onAnswer = [this](bool accept) {
            QMetaObject::invokeMethod(
                this, [this, accept] { AnswerRequest(accept); }, Qt::QueuedConnection);
        };
    }
}

void NetPlayKeeper::SetLineShown(bool shown) {
    lineShown_ = shown;
    if (overlay_) overlay_->Update(play_.get(), lineShown_);
}

void NetPlayKeeper::SetInputDelay(int frames) {
    inputDelay_ = frames;
    ApplyOptions();
}

void NetPlayKeeper::ApplyOptions() {
    if (!play_) return;
    play_->SetInputDelay(inputDelay_ < 0 ? std::nullopt
                                         : std::optional<uint32_t>(static_cast<uint32_t>(inputDelay_)));
}

bool NetPlayKeeper::MaySwapSides() const {
    return play_ && play_->MaySwapSides();
}

bool NetPlayKeeper::GuestOnLeft() const {
    return play_ && play_->GuestOnLeft();
}

void NetPlayKeeper::SetGuestOnLeft(bool onLeft) {
    if (play_) play_->SetGuestOnLeft(onLeft);
    if (overlay_) overlay_->Update(play_.get(), lineShown_);
}

void NetPlayKeeper::AnswerRequest(bool accept) {
    if (!play_) return;
    play_->AnswerRequest(accept);
    if (overlay_) overlay_->Update(play_.get(), lineShown_);
}

NetPlayKeeper::~NetPlayKeeper() {
    CloseWaiting();
}

void NetPlayKeeper::AskAndHost() {
    if (play_ || g_.ScreenState != screen_state::kTitle) return;
    bool ok = false;
    const int port = QInputDialog::getInt(window_, Tr("ネット対戦を開く"),
                                          Tr("相手を待つ UDP ポート (相手はこのポートに参加します):"),
                                          net::kDefaultPort, 1, 65535, 1, &ok);
    if (ok) Host(static_cast<uint16_t>(port));
}

void NetPlayKeeper::AskAndJoin() {
    if (play_ || g_.ScreenState != screen_state::kTitle) return;
    std::string address;
    uint16_t port = 0;
    if (AskAddress(Tr("ネット対戦に参加"),
                   Tr("相手 (開いた側) のアドレス。ポートが 47150 でなければ アドレス:ポート:"), address,
                   port))
        Join(address, port);
}

void NetPlayKeeper::AskAndWatch() {
    if (Active() || online_ || g_.ScreenState != screen_state::kTitle) return;
    std::string address;
    uint16_t port = 0;
    if (AskAddress(Tr("観戦する"),
                   Tr("観戦する対戦を開いた側のアドレス。ポートが 47150 でなければ アドレス:ポート:"),
                   address, port))
        Watch(address, port);
}

bool NetPlayKeeper::AskAddress(const QString& title, const QString& prompt, std::string& address,
                               uint16_t& port) {
    bool ok = false;
    const QString text =
        QInputDialog::getText(window_, title, prompt, QLineEdit::Normal, QString(), &ok).trimmed();
    if (!ok || text.isEmpty()) return false;
    std::string error;
    if (!ParseJoinAddress(text.toStdString(), address, port, error)) {
        Tell(error, QString::fromStdString(error));
        return false;
    }
    return true;
}

bool NetPlayKeeper::Watch(const std::string& address, uint16_t port) {
    if (Active() || online_ || g_.ScreenState != screen_state::kTitle) return false;
    std::string error;
    watch_ = WatchPlay::Open(g_, address, port, error);
    if (!watch_) {
        Tell(error, QString::fromStdString(error));
        return false;
    }
    if (verbose) watch_->verbose = &std::cout;
    watchedHost_ = QString::fromStdString(address);
    const QString where = Tr("%1 のポート %2 に接続しています...").arg(watchedHost_).arg(port);
    std::cerr << "voltrax: " << where.toStdString() << "\n";
    ShowWaiting(where);
    timer_.start();
    return true;
}

void NetPlayKeeper::StopWatching() {
    if (watch_) watch_->Leave();
}

void NetPlayKeeper::KeepWatchingMenu() {
    if (!watch_ || !watch_->Following() || watch_->Finished()) return;
    if (!g_.Menu.Enabled(MenuId::MenuGameStop)) g_.Menu.SetEnabled(MenuId::MenuGameStop, true);
    if (g_.Menu.Enabled(MenuId::MenuPause)) g_.Menu.SetEnabled(MenuId::MenuPause, false);
}

bool NetPlayKeeper::Host(uint16_t port) {
    return Open(true, "", port);
}

bool NetPlayKeeper::Join(const std::string& address, uint16_t port) {
    return Open(false, address, port);
}

bool NetPlayKeeper::Open(bool host, const std::string& address, uint16_t port) {
    if (Active() || online_ || g_.ScreenState != screen_state::kTitle) return false;
    std::string error;
    play_ = NetPlay::Open(g_, host, address, port, error);
    if (!play_) {
        Tell(error, QString::fromStdString(error));
        return false;
    }
    if (verbose) play_->verbose = &std::cout;
    ApplyOptions();
    if (host) {
        // The router may forward the port to us: asked on the mapping's own thread, the
        // answer read on the timer. VOLTRAX_ROUTER names the router to ask instead of the
        // default gateway (the tests keep it on loopback), or "none".
        net::ice::PortMappingOptions router;
        const char* named = std::getenv("VOLTRAX_ROUTER");
        if (named != nullptr && named[0] != '\0') router.natPmpGateway = router.upnpInterface = named;
        if (router.natPmpGateway != "none" && LoadOnlineModule(nullptr) != nullptr) {
            mapping_ = std::make_unique<net::ice::PortMapping>(play_->Port(), router);
            mappingAnswered_ = false;
        }
    }
    const QString where =
        host ? Tr("UDP ポート %1 で相手を待っています...").arg(play_->Port())
             : Tr("%1 のポート %2 に接続しています...").arg(QString::fromStdString(address)).arg(port);
    std::cerr << "voltrax: " << where.toStdString() << "\n";
    ShowWaiting(where);
    timer_.start();
    return true;
}

bool NetPlayKeeper::StartOnline(const OnlineRequest& request, bool ownDialogs) {
    if (Active() || watch_ || online_ || g_.ScreenState != screen_state::kTitle) return false;
    onlineOwnDialogs_ = ownDialogs;
    onlineFailure_ = {};
    // Without the online module the attempt fails at once, as one the lobby refuses.
    if (std::string missing; LoadOnlineModule(&missing) == nullptr) {
        onlineFailure_ = {OnlineFailReason::kModuleMissing, missing, {}};
        if (onlineOwnDialogs_)
            Tell(missing, OnlineFailureText(onlineFailure_));
        else
            std::cerr << "voltrax: " << missing << "\n";
        return true;
    }
    OnlineRequest asked = request;
    if (asked.version.empty()) asked.version = VOLTRAX_VERSION_TEXT;
    onlineKind_ = asked.kind;
    codeShown_ = false;
    online_ = std::make_unique<OnlineConnector>(asked, [](const net::PathOptions& options) {
        return std::make_unique<net::ice::IcePathFinder>(options);
    });
    online_->Poll(SteadyNowMs());
    if (onlineOwnDialogs_) ShowWaiting(OnlineStageText(*online_, onlineKind_));
    timer_.start();
    return true;
}

void NetPlayKeeper::CancelOnline() {
    if (!online_ || watch_ || (play_ && play_->Connected())) return;
    CloseWaiting();
    play_.reset();
    EndConnection();
    if (overlay_) overlay_->Update(nullptr, lineShown_);
    timer_.stop();
}

std::optional<net::PathKind> NetPlayKeeper::Path() const {
    if (!play_ || !play_->Connected()) return std::nullopt;
    return play_->Path();
}

void NetPlayKeeper::ShowWaiting(const QString& text) {
    waitingText_ = text;
    if (NobodyToAsk()) return;
    waiting_ = new QProgressDialog(text, Tr("キャンセル"), 0, 0, window_);
    waiting_->setWindowTitle(QStringLiteral("VOLTRAX"));
    waiting_->setMinimumDuration(0);
    waiting_->setAttribute(Qt::WA_DeleteOnClose);
    connect(waiting_, &QProgressDialog::canceled, this, [this] {
        // Only while still waiting: once connected the dialog is gone.
        if (play_ && play_->Connected()) return;
        if (watch_ && watch_->Following()) return;
        play_.reset();
        watch_.reset();
        EndConnection();
        if (overlay_) overlay_->Update(nullptr, lineShown_);
        timer_.stop();
    });
    waiting_->show();
}

void NetPlayKeeper::UpdateWaiting() {
    QString text = online_ ? OnlineStageText(*online_, onlineKind_) : waitingText_;
    if (online_ && onlineKind_ == OnlineRequest::Kind::kMakeRoom && !online_->Code().empty())
        text += QStringLiteral("\n\n") + Tr("ルームコード: %1").arg(QString::fromStdString(online_->Code())) +
                QStringLiteral("\n") + Tr("このコードを相手に伝えてください。");
    if (!publicAddress_.isEmpty())
        text += QStringLiteral("\n") + Tr("相手に伝えてください: %1").arg(publicAddress_);
    if (waiting_ && waiting_->labelText() != text) waiting_->setLabelText(text);
}

void NetPlayKeeper::PollOnline() {
    online_->Poll(SteadyNowMs());
    if (const std::string words = online_->StatusWords(); words != statusLogged_) {
        statusLogged_ = words;
        if (online_->GetStage() != OnlineConnector::Stage::kFailed) std::cerr << "voltrax: " << words << "\n";
    }
    if (online_->GetStage() == OnlineConnector::Stage::kFailed) {
        const OnlineFailure why = online_->WhyFailed();
        CloseWaiting();
        play_.reset();
        EndConnection();
        timer_.stop();
        onlineFailure_ = why;
        if (onlineOwnDialogs_)
            Tell(why.words, OnlineFailureText(why));
        else
            std::cerr << "voltrax: " << why.words << "\n";
        return;
    }
    if (!codeShown_ && onlineKind_ == OnlineRequest::Kind::kMakeRoom && !online_->Code().empty()) {
        // For whoever started us with --make-room: the code to hand on, at once.
        std::cout << "room " << online_->Code() << std::endl;
        codeShown_ = true;
    }
    if (!play_ && !watch_ && online_->GetStage() == OnlineConnector::Stage::kConnected) {
        auto link = online_->TakeLink();
        if (link && onlineKind_ == OnlineRequest::Kind::kWatchRoom) {
            // A watcher by room code follows the match as one by address does.
            watch_ = WatchPlay::Over(g_, std::move(link));
            if (verbose) {
                watch_->verbose = &std::cout;
                std::cout << "path=" << net::PathName(online_->Path()) << std::endl;
            }
            watchedHost_ = Tr("部屋 %1").arg(QString::fromStdString(online_->Code()));
        } else if (link) {
            net::EnetLink* enet = online_->IsHost() ? link->Enet() : nullptr;
            // Each match's settings come in the host's start packet, checked against the
            // table as by address; the lobby's settings line adds nothing to apply.
            play_ = NetPlay::Over(g_, std::move(link), online_->IsHost(), online_->Path());
            // The room's maker lets the watchers who come by its code in, each on a path
            // of its own carried into its ENet host.
            if (enet != nullptr) online_->ServeWatchers(enet->Port());
            if (verbose) {
                play_->verbose = &std::cout;
                std::cout << "path=" << net::PathName(play_->Path()) << std::endl;
            }
            ApplyOptions();
            ShowPathInTitle();
        }
    }
    UpdateWaiting();
}

void NetPlayKeeper::PollMapping() {
    if (!mapping_ || mappingAnswered_ || !mapping_->Done()) return;
    mappingAnswered_ = true;
    const net::ice::PortMappingResult mapped = mapping_->Result();
    // When the router says no, nothing changes: the host waits on its own port as before.
    if (mapped.method == net::ice::PortMappingResult::Method::kNone) return;
    const std::string address = mapped.publicAddress + ":" + std::to_string(mapped.publicPort);
    std::cout << "public " << address << std::endl;
    publicAddress_ = QString::fromStdString(address);
    if (play_) play_->SetPath(net::PathKind::kMapped);
    UpdateWaiting();
}

void NetPlayKeeper::ShowPathInTitle() {
    if (window_ == nullptr) return;
    QString more;
    if (watch_ && watch_->Following()) more = QStringLiteral(" — ") + Tr("%1 を観戦中").arg(watchedHost_);
    if (play_ && online_) more += QStringLiteral(" — ") + PathWords(play_->Path());
    if (play_ && play_->Watchers() > 0)
        more += QStringLiteral(" — ") + Tr("観戦 %1").arg(static_cast<qulonglong>(play_->Watchers()));
    if (more.isEmpty() && plainTitle_.isEmpty()) return;
    if (plainTitle_.isEmpty()) plainTitle_ = window_->windowTitle();
    if (window_->windowTitle() != plainTitle_ + more) window_->setWindowTitle(plainTitle_ + more);
}

void NetPlayKeeper::EndConnection() {
    online_.reset();
    codeShown_ = false;
    statusLogged_.clear();
    if (mapping_) {
        // Removed on the mapping's thread; the one before it has long finished removing.
        mapping_->Remove();
        oldMapping_ = std::move(mapping_);
    }
    publicAddress_.clear();
    if (window_ != nullptr && !plainTitle_.isEmpty()) window_->setWindowTitle(plainTitle_);
    plainTitle_.clear();
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
    // The room's maker holds its room while the match lasts: the lobby is polled throughout.
    if (online_) PollOnline();
    PollMapping();
    if (watch_) {
        watch_->Pump();
        KeepWatchingMenu();
    } else if (!play_) {
        if (!online_) timer_.stop();
        return;
    } else {
        play_->Pump();
    }
    ShowPathInTitle();
    if (overlay_) overlay_->Update(play_.get(), lineShown_);
    if (pollQueued_) return;
    pollQueued_ = true;
    QMetaObject::invokeMethod(
        this, [this] { PollNow(); }, Qt::QueuedConnection);
}

void NetPlayKeeper::PollNow() {
    pollQueued_ = false;
    if (watch_) {
        watch_->Poll();
        if (watch_->Following() || watch_->Finished()) CloseWaiting();
        if (watch_->Finished() && watch_->Deletable()) {
            const std::string message = watch_->EndMessage();
            watch_.reset();
            EndConnection();
            timer_.stop();
            if (!message.empty()) Tell(message, WatchEndText(message));
        }
        return;
    }
    if (!play_) return;
    play_->Poll();
    if (play_->Connected() || play_->Finished()) CloseWaiting();
    if (play_->Finished() && play_->Deletable()) {
        const std::string message = play_->EndMessage();
        const QString shown = EndText(*play_);
        play_.reset();
        EndConnection();
        timer_.stop();
        if (overlay_) overlay_->Update(nullptr, lineShown_);
        if (!message.empty()) Tell(message, shown);
    }
}

void NetPlayKeeper::Tell(const std::string& logged, const QString& shown) {
    std::cerr << "voltrax: " << logged << "\n";
    if (NobodyToAsk()) return;
    // Plain text: the other side's version text is theirs to choose, never markup to us.
    QMessageBox box(QMessageBox::Information, QStringLiteral("VOLTRAX"), shown, QMessageBox::Ok, window_);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

}  // namespace vx
