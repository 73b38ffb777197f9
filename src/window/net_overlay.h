// What network play shows over the picture, outside the picture itself (so no screen
// and no replay changes with it): the waiting line across the middle of the field while
// the match waits for the other player, the network line (round trip, input delay, the
// largest recent rollback, packet loss) in the bottom left corner, below player 1's
// side of the table and away from the scores, the clock and the items; and after a
// result the guest's request on the host's screen, with the buttons to accept or
// refuse it, or the answer on the guest's.
#pragma once

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QRect>
#include <QString>
#include <functional>

namespace vx {

class MainPictView;
class NetPlay;

class NetOverlay {
  public:
    explicit NetOverlay(MainPictView* view);
    ~NetOverlay();

    // Brings the overlay up to date with play (null: nothing shown). lineWanted: the
    // player asked for the network line.
    void Update(const NetPlay* play, bool lineWanted);

    // The host pressed accept (true) or refuse on the guest's request.
    std::function<void(bool)> onAnswer;

    // The texts shown now, for the tests; empty when hidden.
    QString LineText() const;
    QString NoticeText() const;

    // Where each sits on the 512 x 342 picture: the line in the empty bottom left corner,
    // the notice across the lower part, below the result screen's buttons.
    static QRect LineArea();
    static QRect WaitingArea();  // across the field, between the scores and the item panel
    static QRect NoticeArea(bool onResult);
    static QRect AcceptArea();  // the host's two buttons in the notice
    static QRect RefuseArea();

  private:
    void Place(bool onResult);

    MainPictView* view_;
    QLabel* waiting_;
    QLabel* line_;
    QFrame* notice_;
    QLabel* noticeText_;
    QPushButton* accept_;
    QPushButton* refuse_;
};

}  // namespace vx
