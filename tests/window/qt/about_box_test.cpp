#include "about/about_box.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPointer>

#include <gtest/gtest.h>

#include "about/about_lines.h"

namespace vx {
namespace {

struct AboutFixture {
    int64_t nowMs = 1000;
    int wave1 = 0;
    AboutBox::Setup Setup() {
        AboutBox::Setup setup;
        setup.nowMs = [this] { return nowMs; };
        setup.playWave1 = [this] { ++wave1; };
        setup.runTimer = false;
        return setup;
    }
    // Polls like the timer does, one millisecond at a time, until finished or limit.
    int64_t RunUntilFinished(AboutBox& box, int64_t limitMs = 10000) {
        const int64_t start = nowMs;
        while (!box.Finished() && nowMs - start < limitMs) {
            ++nowMs;
            box.Tick();
        }
        return nowMs - start;
    }
};

void Click(QWidget& w) {
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(50, 50), QPointF(50, 50), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(50, 50), QPointF(50, 50), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &press);
    QApplication::sendEvent(&w, &release);
}

void DeleteClosed() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST(AboutBoxTest, TypingTakesTheFirstWaitAndFiveMillisecondsPerCharacter) {
    AboutFixture f;
    QPointer<AboutBox> box = new AboutBox(f.Setup());
    EXPECT_FALSE(box->Finished());
    f.nowMs += 600;
    box->Tick();
    EXPECT_EQ(box->CharactersTyped(), 0) << "the first wait runs until the clock exceeds 600 ms";
    const int64_t took = 600 + f.RunUntilFinished(*box);
    EXPECT_TRUE(box->Finished());
    EXPECT_EQ(box->CharactersTyped(), AboutCharacterCount());
    EXPECT_GE(took, 600 + 5 * AboutCharacterCount());
    EXPECT_EQ(f.wave1, 1);
    box->Unload();
    DeleteClosed();
}

TEST(AboutBoxTest, EveryAboutLineIsTypedInsideThePicture) {
    for (const AboutLine& line : AboutLines()) {
        SCOPED_TRACE(std::string(line.text));
        EXPECT_GE(line.x, 0);
        EXPECT_LE(line.x + static_cast<int>(line.text.size()) * kAboutCellWidth, AboutBox::kWidth);
        EXPECT_GE(line.y, 0);
        EXPECT_LE(line.y + 15, AboutBox::kHeight) << "a character cell is 15 pixels high";
    }
}

TEST(AboutBoxTest, ClickIsIgnoredWhileTypingAndClosesOnceFinished) {
    AboutFixture f;
    QPointer<AboutBox> box = new AboutBox(f.Setup());
    f.nowMs += 700;
    for (int i = 0; i < 20; ++i) {
        ++f.nowMs;
        box->Tick();
    }
    ASSERT_GT(box->CharactersTyped(), 0);
    Click(*box);
    DeleteClosed();
    ASSERT_FALSE(box.isNull()) << "a click during the typing does nothing";
    EXPECT_TRUE(box->isVisible());
    f.RunUntilFinished(*box);
    Click(*box);
    DeleteClosed();
    EXPECT_TRUE(box.isNull());
}

TEST(AboutBoxTest, ClosingDuringTheTypingStopsItSafely) {
    AboutFixture f;
    AboutBox::Setup setup = f.Setup();
    setup.runTimer = true;  // the real timer too: it must not fire into a closed box
    AboutBoxKeeper keeper(setup);
    QPointer<AboutBox> box = keeper.ShowVersion();
    f.nowMs += 650;
    box->Tick();
    EXPECT_EQ(keeper.ShowVersion(), box.data()) << "a second Version command shows the same box";
    keeper.Unload();  // the main window was activated
    f.nowMs += 10000;
    QApplication::processEvents();
    DeleteClosed();
    EXPECT_TRUE(box.isNull());
    EXPECT_EQ(keeper.Box(), nullptr);
    EXPECT_EQ(f.wave1, 0) << "an unloaded box never finishes";
    QPointer<AboutBox> again = keeper.ShowVersion();
    EXPECT_NE(again.data(), nullptr) << "a new Version command opens a fresh box";
    keeper.Unload();
    DeleteClosed();
}

}  // namespace
}  // namespace vx
