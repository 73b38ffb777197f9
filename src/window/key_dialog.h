// キー設定: the players' own keys. Each row (player 1 up and down, player 2 up and down,
// pause) is changed by clicking its button and pressing the new key; a key that already
// has a use is refused with a message naming that use; 標準に戻す brings the standard
// keys back. The keys are kept by physical key.
#pragma once

#include <QDialog>
#include <QString>

#include <array>

#include "frontend/key_translator.h"
#include "frontend/new_options.h"

class QLabel;
class QPushButton;

namespace vx {

class KeyDialog : public QDialog {
  public:
    explicit KeyDialog(const KeyBindings& current, QWidget* parent = nullptr);
    ~KeyDialog() override;

    // The keys as the dialog shows them now (what OK hands back).
    const KeyBindings& Bindings() const { return pending_.Bindings(); }

    QPushButton* KeyButton(KeyAction action) const { return keyButtons_[static_cast<size_t>(action)]; }
    QPushButton* DefaultsButton() const { return defaults_; }
    QPushButton* OkButton() const { return ok_; }
    // The row waiting for its new key, or -1.
    int WaitingRow() const { return waiting_; }
    // The message of the last refused key (also shown in a message box).
    QString LastRefusal() const { return lastRefusal_; }

    // The name a row shows for a key: the chosen key's label, or the standard key's.
    static QString KeyName(KeyAction action, const KeyBinding& binding);
    // What a key's virtual code is used for, for the refusal message.
    static QString UseName(int virtualKeyCode);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void StartWaiting(int row);
    void StopWaiting();
    void TakeKey(uint32_t nativeScanCode, int qtKey, const QString& label);
    void Refuse(const QString& message);
    void RestoreDefaults();
    void ShowKeys();

    KeyTranslator pending_;  // holds the bindings and answers "what does this key do now"
    std::array<QPushButton*, kKeyActionCount> keyButtons_{};
    QPushButton* defaults_ = nullptr;
    QPushButton* ok_ = nullptr;
    QLabel* hint_ = nullptr;
    int waiting_ = -1;
    QString lastRefusal_;
};

}  // namespace vx
