#include "window/main_pict_view.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QStyleHints>

#include <gtest/gtest.h>

#include <vector>

namespace vx {
namespace {

// Records the areas Qt is asked to repaint.
class RecordingView : public MainPictView {
  public:
    using MainPictView::MainPictView;
    std::vector<QRect> painted;

  protected:
    void paintEvent(QPaintEvent* event) override {
        painted.push_back(event->rect());
        MainPictView::paintEvent(event);
    }
};

TEST(MainPictViewTest, MouseMapsBackToPicturePixelsAtScaleOneAndTwo) {
    Surface picture(512, 342);
    MainPictView view(&picture);
    view.resize(512, 342);
    EXPECT_EQ(view.Scale(), 1);
    EXPECT_EQ(view.Offset(), QPoint(0, 0));
    EXPECT_EQ(view.ToPicture(QPointF(100, 50)), QPointF(100, 50));

    view.resize(600, 400);  // larger but not twice: centred at scale 1
    EXPECT_EQ(view.Scale(), 1);
    EXPECT_EQ(view.Offset(), QPoint(44, 29));
    EXPECT_EQ(view.ToPicture(QPointF(44, 29)), QPointF(0, 0));
    EXPECT_EQ(view.ToPicture(QPointF(555, 370)), QPointF(511, 341));

    // Scale 2 (halves included) is MouseEventsArriveInPicturePixels'; its centring, the two tests below.
    view.resize(1100, 700);
    EXPECT_EQ(view.Scale(), 2);
    EXPECT_LT(view.ToPicture(QPointF(10, 2)).x(), 0) << "the black border lies outside the picture";
}

TEST(MainPictViewTest, MouseEventsArriveInPicturePixels) {
    Surface picture(512, 342);
    MainPictView view(&picture);
    view.resize(1024, 684);
    std::vector<PictMouse> downs, ups;
    view.onMouseDown = [&](const PictMouse& m) { downs.push_back(m); };
    view.onMouseUp = [&](const PictMouse& m) { ups.push_back(m); };
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(312, 338), QPointF(312, 338), Qt::LeftButton,
                      Qt::LeftButton, Qt::ShiftModifier);
    QApplication::sendEvent(&view, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(313, 338), QPointF(313, 338), Qt::RightButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&view, &release);
    ASSERT_EQ(downs.size(), 1u);
    ASSERT_EQ(ups.size(), 1u);
    EXPECT_EQ(downs[0].button, mouse::kLeft);
    EXPECT_EQ(downs[0].shift, mouse::kShift);
    EXPECT_FLOAT_EQ(downs[0].x, 156.0f);
    EXPECT_FLOAT_EQ(downs[0].y, 169.0f);
    EXPECT_EQ(ups[0].button, mouse::kRight);
    EXPECT_FLOAT_EQ(ups[0].x, 156.5f);
}

TEST(MainPictViewTest, ADoubleClickIsOnePressAndTwoReleases) {
    Surface picture(512, 342);
    MainPictView view(&picture);
    view.resize(512, 342);
    int downs = 0, ups = 0;
    view.onMouseDown = [&](const PictMouse&) { ++downs; };
    view.onMouseUp = [&](const PictMouse&) { ++ups; };
    auto send = [&](QEvent::Type type, quint64 ms, QPointF at = QPointF(60, 250)) {
        QMouseEvent e(type, at, at, Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        e.setTimestamp(ms);
        QApplication::sendEvent(&view, &e);
    };
    const quint64 interval = static_cast<quint64>(QGuiApplication::styleHints()->mouseDoubleClickInterval());
    // The desktop's sequence for a double click: press, release, press, double click, release.
    send(QEvent::MouseButtonPress, 1000);
    send(QEvent::MouseButtonRelease, 1050);
    send(QEvent::MouseButtonPress, 1000 + interval / 2);
    send(QEvent::MouseButtonDblClick, 1000 + interval / 2);
    send(QEvent::MouseButtonRelease, 1000 + interval / 2 + 50);
    EXPECT_EQ(downs, 1);
    EXPECT_EQ(ups, 2);
    send(QEvent::MouseButtonPress, 1000 + interval);  // a third quick press starts anew
    EXPECT_EQ(downs, 2);
    send(QEvent::MouseButtonPress, 1000 + interval + 10, QPointF(200, 250));  // far apart: a click of its own
    EXPECT_EQ(downs, 3);
}

TEST(MainPictViewTest, PresentRepaintsOnlyTheScaledChangedArea) {
    Surface picture(512, 342, 0x123456);
    RecordingView view(&picture);
    view.resize(1100, 700);  // scale 2, offset (38, 8)
    view.show();
    QApplication::processEvents();
    view.painted.clear();

    view.Present(10, 20, 30, 40);
    QApplication::processEvents();
    ASSERT_EQ(view.painted.size(), 1u);
    EXPECT_EQ(view.painted[0], QRect(38 + 20, 8 + 40, 60, 80));

    view.painted.clear();
    view.Present(500, 330, 100, 100);  // runs past the corner: clipped
    view.Present(-50, 0, 10, 10);      // wholly outside: nothing
    QApplication::processEvents();
    ASSERT_EQ(view.painted.size(), 1u);
    EXPECT_EQ(view.painted[0], QRect(38 + 1000, 8 + 660, 24, 24));
}

TEST(MainPictViewTest, ShowsThePictureSharpAndCentredOnBlack) {
    Surface picture(512, 342, 0x0000FF);
    picture.SetPixel(0, 0, 0xFF0000);
    MainPictView view(&picture);
    view.resize(1100, 700);
    const QImage shot = view.grab().toImage();
    EXPECT_EQ(shot.pixel(5, 5) & 0xFFFFFF, 0x000000u);
    EXPECT_EQ(shot.pixel(38, 8) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(shot.pixel(39, 9) & 0xFFFFFF, 0xFF0000u) << "one picture pixel is a sharp 2 x 2 block";
    EXPECT_EQ(shot.pixel(40, 8) & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(shot.pixel(38 + 1023, 8 + 683) & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(shot.pixel(38 + 1024, 8 + 683) & 0xFFFFFF, 0x000000u);
}

TEST(MainPictViewTest, ThePointerHidesAndShows) {
    Surface picture(512, 342);
    MainPictView view(&picture);
    view.SetInvisibleCursor(true);
    EXPECT_EQ(view.cursor().shape(), Qt::BlankCursor);
    view.SetInvisibleCursor(false);
    EXPECT_EQ(view.cursor().shape(), Qt::ArrowCursor);
}

}  // namespace
}  // namespace vx
