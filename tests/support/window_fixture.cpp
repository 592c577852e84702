#include "support/window_fixture.h"

#include "platform/qt/qt_services.h"

#include <QTest>
#include <cstdlib>

namespace tamberlight::testing {

WindowTest::WindowTest() {
    services.exeDir = dir.path().string();
    services.pictureLoader = [](const std::string& path) { return loadQtPicture(path); };
    form = std::make_unique<Form1>(services);
    window = std::make_unique<Form1Window>(*form);
}

WindowTest::~WindowTest() {
    window.reset();
    form.reset();
}

void WindowTest::open() {
    window->load();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
}

void WindowTest::stopTimer() {
    form->Timer1.setInterval(0);
    window->run("test", [] {});
}

void WindowTest::run(void (Form1::*handler)()) {
    window->run("test", [this, handler] { (form.get()->*handler)(); });
}

QImage WindowTest::grab() const {
    return window->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QPushButton* WindowTest::button(int number) const {
    return window->findChild<QPushButton*>(QStringLiteral("Command%1").arg(number));
}

void WindowTest::click(QWidget* target, QPoint at) const {
    QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, at);
}

bool near(QRgb pixel, int red, int green, int blue, int tolerance) {
    return std::abs(qRed(pixel) - red) <= tolerance &&
           std::abs(qGreen(pixel) - green) <= tolerance &&
           std::abs(qBlue(pixel) - blue) <= tolerance;
}

} // namespace tamberlight::testing
