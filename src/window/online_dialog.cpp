#include "window/online_dialog.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QFontDatabase>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <QValidator>

#include <algorithm>

#include "net/lobby/lobby_text.h"
#include "platform/version.h"

namespace vx {

namespace {

// Japanese source texts; the English ones are in translations/voltrax_en.ts.
QString Tr(const char* text) {
    return QCoreApplication::translate("OnlineDialog", text);
}

// A room code as it is typed: upper case, spaces and hyphens dropped, nothing outside
// the code's alphabet, at most six characters.
class RoomCodeValidator : public QValidator {
  public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override {
        QString code;
        int newPos = 0;
        for (int i = 0; i < input.size(); ++i) {
            const QChar c = input[i].toUpper();
            if (c == QLatin1Char(' ') || c == QLatin1Char('-')) continue;
            if (c.unicode() > 0x7F ||
                net::lobby::kCodeAlphabet.find(static_cast<char>(c.unicode())) == std::string_view::npos)
                return Invalid;
            code += c;
            if (i < pos) ++newPos;
        }
        if (code.size() > static_cast<qsizetype>(net::lobby::kCodeLength)) return Invalid;
        input = code;
        pos = newPos;
        return net::lobby::ReadRoomCode(code.toStdString()) ? Acceptable : Intermediate;
    }
};

QString Spaced(const std::string& code) {
    QString spaced;
    for (const char c : code) {
        if (!spaced.isEmpty()) spaced += QLatin1Char(' ');
        spaced += QLatin1Char(c);
    }
    return spaced;
}

QString StageWords(OnlineConnector::Stage stage, bool quickMatch) {
    using S = OnlineConnector::Stage;
    switch (stage) {
        case S::kLobby: return quickMatch ? Tr("対戦相手を探しています...") : Tr("ロビーに接続しています...");
        case S::kWaiting: return Tr("相手を待っています...");
        case S::kFindingPath: return Tr("相手への経路を探しています...");
        case S::kConnected: return Tr("接続しました。");
        case S::kFailed: break;
    }
    return {};
}

}  // namespace

QString OnlineFailureText(const OnlineFailure& failure) {
    using R = OnlineFailReason;
    switch (failure.reason) {
        case R::kNone: break;
        case R::kLobbyUnreachable: return Tr("ロビーに接続できません。");
        case R::kRoomNotFound: return Tr("その部屋コードの部屋はありません。");
        case R::kRoomFull: return Tr("その部屋にはもう二人がそろっています。");
        case R::kVersionsDiffer:
            if (failure.theirVersion.empty())
                return Tr("相手の VOLTRAX は別の版です。同じ版どうしで対戦してください。");
            return Tr("相手は VOLTRAX %1、こちらは VOLTRAX %2 です。同じ版どうしで対戦してください。")
                .arg(QString::fromStdString(failure.theirVersion), QStringLiteral(VOLTRAX_VERSION_TEXT));
        case R::kOtherLeft: return Tr("相手が部屋を出ました。");
        case R::kWatchersFull: return Tr("その対戦はもう観戦者でいっぱいです。");
        case R::kNoRelayOffered:
            return Tr("このロビーには中継サーバーがないため、中継だけでは対戦できません。");
        case R::kCannotFindPaths: return Tr("このコンピューターでは相手への経路を探せません。");
        case R::kUnreadablePath: return Tr("相手のプログラムから届いた接続先を読めませんでした。");
        case R::kNoPath: return Tr("相手への経路が見つかりませんでした。");
        case R::kPathUnusable: return Tr("相手への経路は見つかりましたが、使えませんでした。");
        case R::kModuleMissing:
            return Tr("オンライン対戦に必要なファイルを読み込めません (%1)。")
                .arg(QString::fromStdString(failure.words));
        case R::kTimedOut: return Tr("相手への経路が見つかりませんでした。中継を通してもつながりません。");
    }
    return QString::fromStdString(failure.words);
}

OnlineDialog::OnlineDialog(OnlineDialogHooks hooks, QWidget* parent, uint16_t lanPort)
    : QDialog(parent), hooks_(std::move(hooks)), listener_(std::make_unique<LanListener>(lanPort)) {
    setWindowTitle(Tr("オンライン対戦"));
    auto* layout = new QVBoxLayout(this);

    auto* lobbyRow = new QHBoxLayout;
    auto* lobbyLabel = new QLabel(Tr("ロビーサーバー(&L):"));
    lobby_ = new QLineEdit;
    lobby_->setPlaceholderText(Tr("ホスト[:ポート]"));
    lobbyLabel->setBuddy(lobby_);
    lobbyRow->addWidget(lobbyLabel);
    lobbyRow->addWidget(lobby_, 1);
    layout->addLayout(lobbyRow);
    noLobby_ =
        new QLabel(Tr("ロビーが設定されていません: 部屋コードで対戦するには、ロビーサーバーのアドレス "
                      "(ホスト[:ポート]) を入力してください。同じネットワークのゲームとアドレスでの対戦は"
                      "ロビーなしで遊べます。"));
    noLobby_->setWordWrap(true);
    layout->addWidget(noLobby_);

    auto* room = new QGroupBox(Tr("部屋コードで対戦"));
    auto* roomLayout = new QVBoxLayout(room);
    auto* roomRow = new QHBoxLayout;
    makeRoom_ = new QPushButton(Tr("部屋を作る(&M)"));
    auto* codeLabel = new QLabel(Tr("部屋コード(&R):"));
    codeField_ = new QLineEdit;
    codeField_->setValidator(new RoomCodeValidator(codeField_));
    codeField_->setPlaceholderText(QStringLiteral("7KQ4MX"));
    codeField_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    codeField_->setMaximumWidth(codeField_->fontMetrics().horizontalAdvance(QStringLiteral("MMMMMMMM")));
    codeLabel->setBuddy(codeField_);
    join_ = new QPushButton(Tr("参加(&J)"));
    quickMatch_ = new QPushButton(Tr("クイックマッチ(&Q)"));
    roomRow->addWidget(makeRoom_);
    roomRow->addSpacing(12);
    roomRow->addWidget(codeLabel);
    roomRow->addWidget(codeField_);
    roomRow->addWidget(join_);
    roomRow->addSpacing(12);
    roomRow->addWidget(quickMatch_);
    roomRow->addStretch(1);
    roomLayout->addLayout(roomRow);

    codeBox_ = new QWidget;
    auto* codeLayout = new QVBoxLayout(codeBox_);
    codeLayout->setContentsMargins(0, 0, 0, 0);
    codeLayout->addWidget(new QLabel(Tr("この部屋コードを相手に伝えてください:")));
    auto* codeRow = new QHBoxLayout;
    codeShown_ = new QLabel;
    QFont big = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    big.setPointSize(36);
    big.setBold(true);
    codeShown_->setFont(big);
    codeShown_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    copy_ = new QPushButton(Tr("コピー(&C)"));
    codeRow->addWidget(codeShown_);
    codeRow->addSpacing(16);
    codeRow->addWidget(copy_, 0, Qt::AlignVCenter);
    codeRow->addStretch(1);
    codeLayout->addLayout(codeRow);
    roomLayout->addWidget(codeBox_);
    codeBox_->hide();
    room->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);  // no gap once the code goes
    layout->addWidget(room);

    status_ = new QLabel;
    status_->setWordWrap(true);
    layout->addWidget(status_);
    failure_ = new QLabel;
    failure_->setWordWrap(true);
    failure_->setTextFormat(Qt::PlainText);  // the lobby's and the other side's words are never markup
    failure_->setStyleSheet(QStringLiteral("color: #c00000;"));
    failure_->hide();
    layout->addWidget(failure_);

    auto* lan = new QGroupBox(Tr("このネットワークのゲーム"));
    auto* lanLayout = new QVBoxLayout(lan);
    lanList_ = new QListWidget;
    lanList_->setMinimumHeight(lanList_->fontMetrics().height() * 5);
    lanLayout->addWidget(lanList_);
    lanEmpty_ = new QLabel(
        Tr("見つかったゲームはまだありません。相手が「ネット対戦を開く」か部屋を作ると、ここに出ます。"));
    lanEmpty_->setWordWrap(true);
    lanLayout->addWidget(lanEmpty_);
    lanLayout->addWidget(new QLabel(Tr("ダブルクリックか Enter で参加します。")));
    layout->addWidget(lan, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    close_ = new QPushButton(Tr("閉じる"));
    close_->setAutoDefault(false);
    buttons->addWidget(close_);
    layout->addLayout(buttons);

    for (QPushButton* b : {makeRoom_, join_, quickMatch_, copy_}) b->setAutoDefault(false);
    connect(lobby_, &QLineEdit::textChanged, this, [this] { UpdateEnabled(); });
    connect(codeField_, &QLineEdit::textChanged, this, [this] { UpdateEnabled(); });
    connect(codeField_, &QLineEdit::returnPressed, this, [this] {
        if (join_->isEnabled()) join_->click();
    });
    connect(makeRoom_, &QPushButton::clicked, this, [this] { Start(OnlineRequest::Kind::kMakeRoom); });
    connect(join_, &QPushButton::clicked, this,
            [this] { Start(OnlineRequest::Kind::kJoinRoom, codeField_->text().toStdString()); });
    connect(quickMatch_, &QPushButton::clicked, this, [this] { Start(OnlineRequest::Kind::kQuickMatch); });
    connect(copy_, &QPushButton::clicked, this,
            [this] { QGuiApplication::clipboard()->setText(QString::fromStdString(shownCode_)); });
    connect(lanList_, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { JoinLanGame(lanList_->row(item)); });
    connect(close_, &QPushButton::clicked, this, [this] { CancelOrClose(); });
    listener_->onHeard = [this] { UpdateLanList(); };
    poll_.setInterval(kPollMs);
    connect(&poll_, &QTimer::timeout, this, [this] { PollNow(); });
    poll_.start();
    resize(sizeHint().expandedTo(QSize(560, 0)));
    UpdateEnabled();
    UpdateLanList();
}

OnlineDialog::~OnlineDialog() = default;

void OnlineDialog::SetLobby(const std::string& lobby) {
    lobby_->setText(QString::fromStdString(lobby));
}

std::string OnlineDialog::Lobby() const {
    return lobby_->text().trimmed().toStdString();
}

void OnlineDialog::Start(OnlineRequest::Kind kind, const std::string& code) {
    if (trying_ || !hooks_.start) return;
    OnlineRequest request;
    request.kind = kind;
    request.code = code;
    request.server = Lobby();
    request.version = VOLTRAX_VERSION_TEXT;
    failure_->hide();
    HideCode();
    if (request.server.empty()) {
        ShowFailure(Tr("部屋コードで対戦するにはロビーサーバーを入力してください。"));
        return;
    }
    if (hooks_.keepLobby) hooks_.keepLobby(request.server);
    if (!hooks_.start(request)) {
        ShowFailure(Tr("オンライン対戦はタイトル画面で、ほかの接続がないときに始められます。"));
        return;
    }
    trying_ = true;
    making_ = kind == OnlineRequest::Kind::kMakeRoom;
    status_->setText(StageWords(OnlineConnector::Stage::kLobby, kind == OnlineRequest::Kind::kQuickMatch));
    UpdateEnabled();
}

void OnlineDialog::JoinLanGame(int row) {
    if (trying_ || row < 0 || row >= static_cast<int>(lanGames_.size())) return;
    const LanEntry entry = lanGames_[static_cast<size_t>(row)];
    if (entry.game.version != VOLTRAX_VERSION_TEXT) return;
    if (entry.game.port == 0) {
        Start(OnlineRequest::Kind::kJoinRoom, entry.game.roomCode);
        return;
    }
    failure_->hide();
    if (!hooks_.joinAddress || !hooks_.joinAddress(entry.address.toStdString(), entry.game.port)) {
        ShowFailure(Tr("%1 のポート %2 に参加できませんでした。").arg(entry.address).arg(entry.game.port));
        return;
    }
    // The network match's own waiting dialog takes it from here.
    accept();
}

void OnlineDialog::PollNow() {
    UpdateLanList();
    if (!trying_ || !hooks_.progress) return;
    const OnlineProgress now = hooks_.progress();
    using S = OnlineConnector::Stage;
    if (!now.active) {
        trying_ = false;
        status_->clear();
        UpdateEnabled();
        return;
    }
    if (making_ && !now.code.empty() && now.code != shownCode_) ShowCode(now.code);
    if (now.stage == S::kFailed) {
        trying_ = false;
        status_->clear();
        ShowFailure(Tr("つながりませんでした: %1").arg(OnlineFailureText(now.failure)));
        HideCode();  // the room is gone with the attempt
        UpdateEnabled();
        return;
    }
    status_->setText(StageWords(now.stage, !making_ && shownCode_.empty() && now.code.empty()));
    if (now.stage == S::kConnected) {
        trying_ = false;
        accept();
    }
}

void OnlineDialog::ShowFailure(const QString& text) {
    failure_->setText(text);
    failure_->show();
}

void OnlineDialog::ShowCode(const std::string& code) {
    if (codeBox_->isHidden()) heightWithoutCode_ = height();
    shownCode_ = code;
    codeShown_->setText(Spaced(code));
    codeBox_->show();
    // The dialog grows by the code, so the list below keeps its size (the layout alone
    // would only grow it to its least height, which leaves out the wrapped lines).
    const int added = codeBox_->sizeHint().height() + codeBox_->parentWidget()->layout()->spacing();
    resize(width(), heightWithoutCode_ + added);
}

void OnlineDialog::HideCode() {
    shownCode_.clear();
    if (codeBox_->isHidden()) return;
    codeBox_->hide();
    // The room's box and then the dialog measure themselves again now (they would only
    // on a later event), and the dialog goes back to its height from before the code: a
    // window keeps the height it grew to, and the list would take the code's place.
    codeBox_->parentWidget()->layout()->activate();
    layout()->activate();
    resize(width(), std::max(heightWithoutCode_, minimumSizeHint().height()));
}

void OnlineDialog::CancelOrClose() {
    if (!trying_) {
        QDialog::reject();
        return;
    }
    trying_ = false;
    if (hooks_.cancel) hooks_.cancel();
    status_->setText(Tr("取り消しました。"));
    HideCode();
    UpdateEnabled();
}

void OnlineDialog::reject() {
    if (trying_ && hooks_.cancel) hooks_.cancel();
    trying_ = false;
    QDialog::reject();
}

void OnlineDialog::UpdateEnabled() {
    const bool haveLobby = !lobby_->text().trimmed().isEmpty();
    noLobby_->setVisible(!haveLobby);
    const bool free = haveLobby && !trying_;
    lobby_->setEnabled(!trying_);
    makeRoom_->setEnabled(free);
    quickMatch_->setEnabled(free);
    codeField_->setEnabled(free);
    join_->setEnabled(free && codeField_->hasAcceptableInput());
    lanList_->setEnabled(!trying_);
    close_->setText(trying_ ? Tr("キャンセル") : Tr("閉じる"));
}

void OnlineDialog::UpdateLanList() {
    std::vector<LanEntry> games = listener_->Games();
    // The room we made is announced by this program while we wait in it: no game to join.
    if (!shownCode_.empty())
        std::erase_if(
            games, [this](const LanEntry& e) { return e.game.port == 0 && e.game.roomCode == shownCode_; });
    const auto same = [](const LanEntry& a, const LanEntry& b) {
        return a.address == b.address && a.game == b.game;
    };
    if (std::equal(games.begin(), games.end(), lanGames_.begin(), lanGames_.end(), same)) return;
    const int row = lanList_->currentRow();
    const LanEntry* was =
        row >= 0 && row < static_cast<int>(lanGames_.size()) ? &lanGames_[static_cast<size_t>(row)] : nullptr;
    int keep = games.empty() ? -1 : 0;
    for (size_t i = 0; was != nullptr && i < games.size(); ++i)
        if (games[i].address == was->address && games[i].game.port == was->game.port)
            keep = static_cast<int>(i);
    lanList_->clear();
    for (const LanEntry& entry : games) {
        const QString name = QString::fromStdString(entry.game.hostName);
        QString text = entry.game.port == 0
                           ? Tr("%1 — 部屋 %2").arg(name, QString::fromStdString(entry.game.roomCode))
                           : Tr("%1 — %2:%3 (ステージ %4)")
                                 .arg(name, entry.address)
                                 .arg(entry.game.port)
                                 .arg(entry.game.stage);
        auto* item = new QListWidgetItem(text, lanList_);
        if (entry.game.version != VOLTRAX_VERSION_TEXT) {
            item->setText(text + Tr(" (VOLTRAX %1: 版が違うので参加できません)")
                                     .arg(QString::fromStdString(entry.game.version)));
            item->setFlags(item->flags() & ~Qt::ItemIsEnabled);
        }
    }
    lanGames_ = std::move(games);
    lanEmpty_->setVisible(lanGames_.empty());
    if (keep >= 0) lanList_->setCurrentRow(keep);
}

}  // namespace vx
