#include "support/window_fixture.h"

#include <QApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QWindow>

namespace tamberlight::testing {
namespace {

class Panel : public WindowTest {
protected:
    void SetUp() override {
        open();
        stopTimer();
    }
    // The eight controls the panel shows and hides.
    std::vector<QWidget*> panel() const {
        return {button(1), button(2), button(3), button(4),
                button(6), button(7), button(9), widget<QGroupBox>("Frame2")};
    }
    bool panelShown() const {
        int shown = 0;
        for (QWidget* w : panel())
            shown += w->isVisible();
        EXPECT_TRUE(shown == 0 || shown == 8) << shown << " of 8 shown";
        return shown == 8;
    }
    void clickWindow(QPoint at) { click(window.get(), at); }
    std::string writePicture(const char* name, QColor colour) {
        QImage image(8, 8, QImage::Format_RGB32);
        image.fill(colour);
        const std::string path = (dir / name).string();
        EXPECT_TRUE(image.save(QString::fromStdString(path)));
        return path;
    }
    QWidget* focused() const { return QApplication::focusWidget(); }
    QPlainTextEdit* text1() const { return widget<QPlainTextEdit>("Text1"); }
};

TEST_F(Panel, ClicksOnTheBackgroundThePictureAndTheAnnouncementToggleIt) {
    clickWindow({200, 150});
    EXPECT_FALSE(panelShown());
    clickWindow({200, 150});
    EXPECT_TRUE(panelShown()) << "two clicks bring the panel back";
    clickWindow({120, 100}); // the picture's area
    EXPECT_FALSE(panelShown());
    auto* frame1 = widget<QGroupBox>("Frame1");
    click(frame1, {20, 30}); // the announcement inside the frame
    EXPECT_TRUE(panelShown());
    click(frame1, {230, 108}); // the frame outside the announcement
    EXPECT_TRUE(panelShown());
}

TEST_F(Panel, ADoubleClickIsOneClick) {
    // Through the window system, as a real double click comes: press, release, press, release.
    QWindow* handle = window->windowHandle();
    QTest::mouseDClick(handle, Qt::LeftButton, Qt::NoModifier, {200, 150});
    EXPECT_FALSE(panelShown());
    const QPoint announcement = widget<QGroupBox>("Frame1")->geometry().topLeft() + QPoint(20, 30);
    QTest::mouseDClick(handle, Qt::LeftButton, Qt::NoModifier, announcement);
    EXPECT_TRUE(panelShown());
}

TEST_F(Panel, ClicksOnTheClockTextAndTheEmptyImagesDoNothing) {
    clickWindow({117, 190});
    EXPECT_TRUE(panelShown());
    window->resize(600, 700);
    QCoreApplication::processEvents();
    clickWindow({30, 500}); // the empty second image, uncovered on a wide window
    EXPECT_TRUE(panelShown());
    clickWindow({30, 480});
    EXPECT_FALSE(panelShown());
}

TEST_F(Panel, AHiddenPanelLeavesTheScheduleTheAnnouncementAndTheDial) {
    text1()->moveCursor(QTextCursor::End);
    QTest::keyClicks(text1(), QStringLiteral("x"));
    clickWindow({200, 150});
    EXPECT_FALSE(panelShown());
    EXPECT_TRUE(text1()->isVisible());
    EXPECT_TRUE(button(5)->isVisible());
    EXPECT_TRUE(widget<QGroupBox>("Frame1")->isVisible());
    EXPECT_FALSE(widget<QLineEdit>("Text2")->isVisible()) << "hidden with its frame";
    EXPECT_TRUE(near(grab().pixel(117, 4), 191, 205, 219, 12)) << "the circle shows where the "
                                                                  "frame was";
}

TEST_F(Panel, UpAndDownMoveThePictureByFivePixels) {
    services.openAnswers.push_back(writePicture("red.png", Qt::red));
    click(button(3), button(3)->rect().center());
    for (int i = 0; i < 3; ++i)
        click(button(1), button(1)->rect().center());
    click(button(2), button(2)->rect().center());
    EXPECT_EQ(form->PictureTop, -138);
    EXPECT_EQ(form->Image1.Top, -138.0F);
    run(&Form1::Form_Click);
    const QImage image = grab();
    EXPECT_TRUE(near(image.pixel(60, 116), 255, 0, 0)) << "inside the picture";
    EXPECT_TRUE(near(image.pixel(60, 120), 255, 255, 255)) << "below its lowered bottom edge";
    form->PictureTop = 32765;
    click(button(2), button(2)->rect().center());
    EXPECT_EQ(form->PictureTop, 32765) << "a step out of 16 bits does nothing";
}

TEST_F(Panel, AChosenPictureIsShownAndComesBackAfterARestart) {
    const std::string red = writePicture("red.png", Qt::red);
    services.openAnswers.push_back(red);
    click(button(3), button(3)->rect().center());
    EXPECT_EQ(form->PicturePath, red);
    const PictureHandle shown = form->Image1.Picture;
    dir.write("broken.png", "no picture here");
    services.openAnswers.push_back((dir / "broken.png").string());
    ::testing::internal::CaptureStderr();
    click(button(3), button(3)->rect().center());
    const std::string errors = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
    EXPECT_EQ(form->PicturePath, red) << "a file that is no picture keeps the old one";
    EXPECT_EQ(form->Image1.Picture, shown);
    click(button(3), button(3)->rect().center()); // cancelled
    EXPECT_EQ(form->PicturePath, red);
    window->close();

    Form1 again{services};
    Form1Window restarted{again};
    restarted.load();
    restarted.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&restarted));
    again.Form_Click();
    restarted.run("test", [] {});
    EXPECT_TRUE(near(restarted.grab().toImage().pixel(100, 60), 255, 0, 0));
}

TEST_F(Panel, TheColourReachesTheCircleTheHandsAndTheMarksOnly) {
    form->ClockTime = (2 * 60 + 59) / 1440.0;
    run(&Form1::Timer1_Timer);                    // 3:00
    click(button(7), button(7)->rect().center()); // marks hidden while coloured
    services.colourAnswers.push_back(rgb(255, 0, 0));
    click(button(9), button(9)->rect().center());
    click(button(7), button(7)->rect().center());
    run(&Form1::Form_Click);
    const QImage image = grab();
    EXPECT_TRUE(near(image.pixel(170, 117), 255, 0, 0)) << "the hour hand";
    EXPECT_TRUE(near(image.pixel(217, 117), 255, 0, 0)) << "the mark at three";
    EXPECT_TRUE(near(image.pixel(2, 117), 255, 0, 0)) << "the circle";
    for (const Line* line : {&form->Line1, &form->Line2})
        EXPECT_EQ(line->BorderColor, rgb(255, 0, 0));
    for (const Line& mark : form->Line3)
        EXPECT_EQ(mark.BorderColor, rgb(255, 0, 0));
    EXPECT_EQ(form->Label1.ForeColor, rgb(255, 255, 255));
    EXPECT_EQ(form->Label2.ForeColor, rgb(0, 0, 192));

    services.colourAnswers.push_back(rgb(0, 0, 0));
    click(button(9), button(9)->rect().center());
    EXPECT_EQ(form->Shape1.BorderColor, rgb(0, 0, 0)) << "black is a colour";
    click(button(9), button(9)->rect().center()); // cancelled
    EXPECT_EQ(form->Shape1.BorderColor, rgb(0, 0, 0));
    EXPECT_TRUE(near(grab().pixel(2, 117), 0, 0, 0));
}

TEST_F(Panel, TheButtonsThatShouldReturnTheFocusToTheScheduleDo) {
    services.openAnswers = {writePicture("p.png", Qt::blue), "/sounds/bell.wav"};
    for (const int number : {1, 2, 3, 6, 7}) {
        click(button(number), button(number)->rect().center());
        EXPECT_EQ(focused(), text1()) << "Command" << number;
    }
    click(button(3), button(3)->rect().center()); // cancelled dialog: the focus moves anyway
    EXPECT_EQ(focused(), text1());
    EXPECT_EQ(services.commands, std::vector<std::string>{"play \"/sounds/bell.wav\""});
    click(button(9), button(9)->rect().center());
    EXPECT_EQ(focused(), button(9)) << "the colour button keeps the focus";
}

TEST_F(Panel, TheAnnouncementIsDrawnInDarkRedInsideItsFrame) {
    form->Text1.setText("t\r\n0:01 開始\r\n0:02 next");
    run(&Form1::Command5_Click);
    run(&Form1::Timer1_Timer); // 0:01
    EXPECT_EQ(form->Label3.Caption, "0:01 開始\r\n0:02 next");
    const QImage frame = widget<QGroupBox>("Frame1")->grab().toImage();
    int red = 0;
    for (int y = 12; y < 109; ++y)
        for (int x = 4; x < 225; ++x)
            red += near(frame.pixel(x, y), 192, 0, 0, 50);
    EXPECT_GT(red, 100);
    EXPECT_EQ(services.beeps, 1);
}

} // namespace
} // namespace tamberlight::testing
