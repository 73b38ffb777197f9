#include "window/key_dialog.h"

#include <QApplication>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace vx {

namespace {

QString Tr(const char* text) {
    return QCoreApplication::translate("KeyDialog", text);
}

QString RowName(KeyAction action) {
    switch (action) {
        case KeyAction::Player1Up: return Tr("1P 上");
        case KeyAction::Player1Down: return Tr("1P 下");
        case KeyAction::Player2Up: return Tr("2P 上");
        case KeyAction::Player2Down: return Tr("2P 下");
        case KeyAction::Pause: return Tr("一時停止");
    }
    return {};
}

// Keys the menus and the window keep for themselves: Alt and F10 open the menu bar in
// full screen, F11 switches full screen, Ctrl and Shift make the menu shortcuts.
bool KeptByTheWindow(int qtKey) {
    switch (qtKey) {
        case Qt::Key_Shift:
        case Qt::Key_Control:
        case Qt::Key_Alt:
        case Qt::Key_AltGr:
        case Qt::Key_Meta:
        case Qt::Key_Super_L:
        case Qt::Key_Super_R:
        case Qt::Key_F10:
        case Qt::Key_F11: return true;
        default: return false;
    }
}

// What the pressed key prints, for the row: the character in capitals where there is
// one, else the key's name.
QString LabelOf(const QKeyEvent* event) {
    const QString text = event->text().trimmed();
    if (text.size() == 1 && text.at(0).isPrint()) return text.toUpper();
    const QString name = QKeySequence(event->key()).toString(QKeySequence::NativeText);
    return name.isEmpty() ? QStringLiteral("#%1").arg(event->nativeScanCode()) : name;
}

}  // namespace

KeyDialog::KeyDialog(const KeyBindings& current, QWidget* parent) : QDialog(parent) {
    pending_.SetBindings(current);
    setWindowTitle(Tr("キー設定"));
    setModal(true);

    auto* rows = new QGridLayout();
    for (int i = 0; i < kKeyActionCount; ++i) {
        rows->addWidget(new QLabel(RowName(static_cast<KeyAction>(i)), this), i, 0);
        auto* button = new QPushButton(this);
        button->setMinimumWidth(220);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, i] { StartWaiting(i); });
        rows->addWidget(button, i, 1);
        keyButtons_[static_cast<size_t>(i)] = button;
    }
    hint_ = new QLabel(Tr("変えたい行のボタンを押してから、新しいキーを押してください。"), this);
    hint_->setWordWrap(true);

    defaults_ = new QPushButton(Tr("標準に戻す"), this);
    defaults_->setAutoDefault(false);
    ok_ = new QPushButton(Tr("OK"), this);
    auto* cancel = new QPushButton(Tr("キャンセル"), this);
    cancel->setAutoDefault(false);
    connect(defaults_, &QPushButton::clicked, this, [this] { RestoreDefaults(); });
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout();
    buttons->addWidget(defaults_);
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(hint_);
    layout->addLayout(rows);
    layout->addLayout(buttons);
    ShowKeys();
}

KeyDialog::~KeyDialog() {
    StopWaiting();
}

QString KeyDialog::KeyName(KeyAction action, const KeyBinding& binding) {
    if (binding.physicalKey != 0)
        return binding.label.empty() ? QStringLiteral("#%1").arg(binding.physicalKey)
                                     : QString::fromStdString(binding.label);
    switch (action) {
        case KeyAction::Player1Up: return QStringLiteral("A");
        case KeyAction::Player1Down: return QStringLiteral("Z");
        case KeyAction::Player2Up: return QStringLiteral("]");
        case KeyAction::Player2Down: return Tr("Z の左のキー（なければ /）");
        case KeyAction::Pause: return QStringLiteral("P");
    }
    return {};
}

QString KeyDialog::UseName(int virtualKeyCode) {
    for (int i = 0; i < kKeyActionCount; ++i)
        if (ActionCode(static_cast<KeyAction>(i)) == virtualKeyCode)
            return RowName(static_cast<KeyAction>(i));
    switch (virtualKeyCode) {
        case vk::kR: return Tr("ゲームの再開 (R)");
        case vk::kS: return Tr("ゲームの中止 (S)");
        case vk::kEscape: return Tr("終了 (Esc)");
        default: return {};
    }
}

void KeyDialog::ShowKeys() {
    const KeyBindings& keys = pending_.Bindings();
    for (int i = 0; i < kKeyActionCount; ++i) {
        const auto action = static_cast<KeyAction>(i);
        keyButtons_[static_cast<size_t>(i)]->setText(i == waiting_
                                                         ? Tr("新しいキーを押してください…")
                                                         : KeyName(action, keys[static_cast<size_t>(i)]));
    }
}

void KeyDialog::StartWaiting(int row) {
    if (waiting_ < 0) qApp->installEventFilter(this);
    waiting_ = row;
    ShowKeys();
}

void KeyDialog::StopWaiting() {
    if (waiting_ < 0) return;
    qApp->removeEventFilter(this);
    waiting_ = -1;
    ShowKeys();
}

// While a row waits, every key press anywhere in the program is its new key, and no
// shortcut fires; Esc gives up waiting.
bool KeyDialog::eventFilter(QObject* watched, QEvent* event) {
    if (waiting_ >= 0 && (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress)) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (event->type() == QEvent::ShortcutOverride) {
            event->accept();
            return true;
        }
        if (key->isAutoRepeat()) return true;
        if (key->key() == Qt::Key_Escape)
            StopWaiting();
        else
            TakeKey(key->nativeScanCode(), key->key(), LabelOf(key));
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void KeyDialog::TakeKey(uint32_t nativeScanCode, int qtKey, const QString& label) {
    const auto row = static_cast<size_t>(waiting_);
    if (KeptByTheWindow(qtKey)) {
        Refuse(Tr("Shift、Ctrl、Alt、F10、F11 はメニューとウィンドウが使うため選べません。"));
        return;
    }
    if (nativeScanCode == 0) {
        Refuse(Tr("このキーは場所がわからないため選べません。"));
        return;
    }
    const int use = pending_.CodeOf(nativeScanCode, qtKey);
    if (use != 0 && use != ActionCode(static_cast<KeyAction>(row))) {
        Refuse(Tr("%1 はすでに「%2」に使われています。").arg(label, UseName(use)));
        return;
    }
    KeyBindings keys = pending_.Bindings();
    keys[row] = KeyBinding{nativeScanCode, label.toStdString()};
    pending_.SetBindings(keys);
    StopWaiting();
}

void KeyDialog::Refuse(const QString& message) {
    lastRefusal_ = message;
    StopWaiting();
    // Not exec(): the dialog and the game go on while the message is up.
    auto* box = new QMessageBox(QMessageBox::Information, Tr("キー設定"), message, QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void KeyDialog::RestoreDefaults() {
    StopWaiting();
    pending_.SetBindings(KeyBindings{});
    ShowKeys();
}

}  // namespace vx
