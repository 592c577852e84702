// The real window: its controls as the model places them, the keyboard, and failures.
#include "support/window_test.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimer>

namespace tamberlight::test {
namespace {

class Window : public WindowTest {
protected:
    QString focused() const { return QApplication::focusWidget()->objectName(); }
    void type(const char* box, const QString& text, Qt::KeyboardModifiers modifiers = {}) {
        auto* target = widget<QWidget>(box);
        target->setFocus();
        QTest::keyClicks(target, text);
        QTest::keyClick(target, Qt::Key_Return, modifiers);
    }
};

TEST_F(Window, OpensWithTheControlsInTheFramesAndTheKeyboardOrderOfTheModel) {
    open();
    const char* captions[] = {
        "↑",     "↓", "画像指定", "設定", "予定更新", "サウンド指定", "・off", "基準時刻設定",
        "色変更"};
    for (int i = 1; i <= 9; ++i) {
        const std::string name = "Command" + std::to_string(i);
        EXPECT_EQ(widget(name.c_str())->text(), QString::fromUtf8(captions[i - 1])) << name;
        EXPECT_EQ(widget(name.c_str())->isVisible(), i != 5) << name;
    }
    auto* frame2 = widget<QGroupBox>("Frame2");
    for (const char* name : {"Command4", "Command8", "Text2", "Text3"})
        EXPECT_EQ(widget<QWidget>(name)->parentWidget(), frame2) << name;
    EXPECT_EQ(widget("Command7")->parentWidget(), window.get());
    EXPECT_EQ(widget("Command4")->geometry(), QRect(102, 36, 33, 17)) << "twips in its frame";

    // Tab leaves the schedule box, where the focus is at start, and goes round the window.
    QApplication::setActiveWindow(window.get());
    ASSERT_EQ(focused(), "Text1");
    QStringList order;
    for (int i = 0; i < 11; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        order << focused();
    }
    EXPECT_EQ(order.join(' '), "Command1 Command2 Command3 Command6 Command7 Text2 Command8 "
                               "Text3 Command4 Command9 Text1");
}

TEST_F(Window, ReturnPressesTheButtonOfItsBoxAndCtrlReturnApplies) {
    open();
    widget<QLineEdit>("Text2")->clear();
    type("Text2", " 7 ");
    EXPECT_EQ(form->ClockTime, 421 / 1440.0);
    widget<QLineEdit>("Text3")->clear();
    type("Text3", "20");
    EXPECT_EQ(form->Timer1.Interval(), 20);
    widget<QPlainTextEdit>("Text1")->moveCursor(QTextCursor::End);
    type("Text1", "0:05 x", Qt::ControlModifier);
    EXPECT_EQ(form->EventCount, 1);
    EXPECT_FALSE(widget("Command5")->isVisible());
    EXPECT_TRUE(file().ends_with("\r\n0:05 x\r\n"));
}

TEST_F(Window, EveryFailureIsOneLineAndTheWindowGoesOn) {
    open();
    form->Text3.setText("-5");
    click("Command4");
    form->Command1.Left = std::numeric_limits<float>::infinity(); // no widget can go there
    window->run([] {});
    form->ClockTime = 1e300;
    run(&Form1::Timer1_Timer);
    ASSERT_EQ(services.reports.size(), 3U);
    EXPECT_EQ(services.reports[0],
              "\"-5\" is not a tick interval in milliseconds; the clock keeps its speed");
    EXPECT_NE(services.reports[1].find("cannot be placed"), std::string::npos);
    EXPECT_EQ(services.reports[2], "1e+300 is no date or time of day");
    form->ClockTime = 0;
    run(&Form1::Timer1_Timer);
    EXPECT_EQ(widget<QWidget>("Label2")->property("text").toString(), "00:01");
    EXPECT_EQ(services.reports.size(), 3U);
}

// The one dialog object starts where it was left: the folder of the file chosen last, the
// colour chosen last.
TEST_F(Window, TheDialogsStartWhereTheyWereLeft) {
    QtServices real(SettingsStore(dir.path().toStdString(), dir.path().toStdString()));
    const QString chosen = dir.filePath("pictures/face.png");
    QDir(dir.path()).mkpath("pictures");
    writeAll(chosen.toStdString(), "x");
    QStringList seen;
    const auto answer = [&](const std::function<void(QWidget*)>& act) {
        QTimer::singleShot(0, [&seen, act] {
            QWidget* dialog = QApplication::activeModalWidget();
            if (auto* files = qobject_cast<QFileDialog*>(dialog))
                seen << files->directory().absolutePath();
            if (auto* colours = qobject_cast<QColorDialog*>(dialog))
                seen << colours->currentColor().name();
            act(dialog);
        });
    };
    answer([&](QWidget* d) {
        static_cast<QFileDialog*>(d)->selectFile(chosen), static_cast<QDialog*>(d)->accept();
    });
    EXPECT_EQ(real.showOpen(), chosen.toStdString());
    answer([](QWidget* d) { static_cast<QDialog*>(d)->reject(); });
    EXPECT_EQ(real.showOpen(), "");
    answer([](QWidget* d) {
        static_cast<QColorDialog*>(d)->setCurrentColor(Qt::red), static_cast<QDialog*>(d)->accept();
    });
    EXPECT_EQ(real.showColor(), rgb(255, 0, 0));
    answer([](QWidget* d) { static_cast<QDialog*>(d)->reject(); });
    EXPECT_EQ(real.showColor(), std::nullopt);
    EXPECT_EQ(seen,
              (QStringList{QDir::homePath(), dir.filePath("pictures"), "#000000", "#ff0000"}));
}

} // namespace
} // namespace tamberlight::test
