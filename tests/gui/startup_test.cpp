#include "support/window_fixture.h"

#include <QApplication>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTest>

namespace tamberlight::testing {
namespace {

class Startup : public WindowTest {
protected:
    std::string line(int number) const {
        const std::string text = dir.read("tamberl.ini");
        std::size_t start = 0;
        for (int i = 1; i < number; ++i)
            start = text.find("\r\n", start) + 2;
        return text.substr(start, text.find("\r\n", start) - start);
    }
    QPlainTextEdit* text1() const { return widget<QPlainTextEdit>("Text1"); }
};

TEST_F(Startup, TheSavedPlacementComesBackAndClosingSavesTheNewOne) {
    dir.write("tamberl.ini", "\r\n\r\n 1350\r\n 2250\r\n 4500\r\n 7500\r\n 0\r\nT\r\n");
    open();
    EXPECT_EQ(window->frameGeometry(), QRect(150, 90, 300, 500)) << "the outer frame, in twips";
    window->move(200, 100);
    window->resize(320, 480);
    QCoreApplication::processEvents();
    const QRect frame = window->frameGeometry();
    window->close();
    EXPECT_EQ(line(3), " 1500");
    EXPECT_EQ(line(4), " 3000");
    EXPECT_EQ(line(5), " " + std::to_string(frame.width() * 15));
    EXPECT_EQ(line(6), " " + std::to_string(frame.height() * 15));
    EXPECT_EQ(line(8), "T");
}

TEST_F(Startup, ADamagedPlacementStillShowsTheWindowOnAScreen) {
    for (const char* size : {" 15\r\n 0", " 300000000\r\n 1e9"}) {
        dir.write("tamberl.ini",
                  "\r\n\r\n-1500000\r\n-1500000\r\n" + std::string(size) + "\r\n 0\r\n\r\n");
        Form1 form{services};
        Form1Window shown{form};
        shown.load();
        shown.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&shown));
        const QRect screen = QGuiApplication::primaryScreen()->availableVirtualGeometry();
        EXPECT_GE(shown.width(), shown.minimumWidth()) << size;
        EXPECT_GE(shown.height(), shown.minimumHeight()) << size;
        EXPECT_LE(shown.width(), screen.width()) << size;
        EXPECT_LE(shown.height(), screen.height()) << size;
        EXPECT_TRUE(screen.intersects(shown.frameGeometry())) << size;
    }
}

TEST_F(Startup, AMaximisedWindowSavesItsNormalPlacement) {
    open();
    window->resize(250, 600);
    QCoreApplication::processEvents();
    const QRect normal = window->frameGeometry();
    window->showMaximized();
    QCoreApplication::processEvents();
    ASSERT_TRUE(window->isMaximized());
    ASSERT_NE(window->frameGeometry(), normal);
    window->close();
    EXPECT_EQ(line(5), " " + std::to_string(normal.width() * 15));
    EXPECT_EQ(line(6), " " + std::to_string(normal.height() * 15));
}

TEST_F(Startup, TypingShowsTheApplyButtonWhichSavesAndBuildsTheEntries) {
    open();
    stopTimer();
    EXPECT_FALSE(button(5)->isVisible());
    text1()->moveCursor(QTextCursor::End);
    QTest::keyClicks(text1(), QStringLiteral("18:30 "));
    QInputMethodEvent japanese; // Japanese arrives from the input method, not as key presses
    japanese.setCommitString(QStringLiteral("会議"));
    QApplication::sendEvent(text1(), &japanese);
    QTest::keyClick(text1(), Qt::Key_Return);
    QTest::keyClicks(text1(), QStringLiteral("19:00 x"));
    EXPECT_TRUE(button(5)->isVisible());
    EXPECT_EQ(form->Text1.Text(), "#Tamberlight   ver.0.2\r\n18:30 会議\r\n19:00 x");
    click(button(5), button(5)->rect().center());
    EXPECT_FALSE(button(5)->isVisible());
    EXPECT_EQ(form->EventCount, 2);
    EXPECT_EQ(line(10), "19:00 x");
}

TEST_F(Startup, CharactersOfTheTextThatAreNoLineBreakSurviveAnEdit) {
    dir.write("tamberl.ini", "\r\n\r\n 0\r\n 0\r\n 3525\r\n 9375\r\n 0\r\nt\r\na\nb\xC2\xA0"
                             "c\r\n");
    open();
    EXPECT_EQ(text1()->toPlainText().count(QLatin1Char('\n')), 1) << "a lone LF is no break";
    text1()->moveCursor(QTextCursor::End);
    QTest::keyClicks(text1(), QStringLiteral("z"));
    EXPECT_EQ(form->Text1.Text(), "t\r\na\nb\xC2\xA0"
                                  "cz");
}

} // namespace
} // namespace tamberlight::testing
