// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#pragma once

#include "app/clock_window.h"
#include "qt/clock_view.h"
#include "qt/qt_services.h"
#include "support/fake_services.h"
#include "support/files.h"

#include <QApplication>
#include <QImage>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace tamberlight::test {

// The real window on Qt's offscreen platform over a ClockWindow whose dialogs the test answers;
// pictures load through Qt, from files in a temporary folder.
class WindowTest : public ::testing::Test {
protected:
    WindowTest() {
        services.pictureLoader = [](const std::string& path) {
            return loadQtPicture(path, QSize(128, 256));
        };
    }
    ~WindowTest() override {
        window.reset();
        model.reset();
    }
    // Loads and shows the window as the program does, and stops the clock so that no tick
    // comes between a step and its check.
    void open() {
        window->load();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        model->intervalBox.setText("0");
        run(&ClockWindow::setInterval);
    }
    void run(void (ClockWindow::*handler)()) {
        window->run([this, handler] { (model.get()->*handler)(); });
    }
    QImage grab() const { return window->grab().toImage().convertToFormat(QImage::Format_RGB32); }
    template <typename T = QPushButton> T* widget(const char* name) const {
        return window->findChild<T*>(QString::fromLatin1(name));
    }
    void click(const char* name) const {
        auto* target = widget<QWidget>(name);
        QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, target->rect().center());
    }
    void clickWindow(QPoint at) const { QTest::mouseClick(window.get(), Qt::LeftButton, {}, at); }
    std::string file() const { return services.settingsFile.value_or(""); }

    QTemporaryDir dir;
    FakeServices services;
    std::unique_ptr<ClockWindow> model = std::make_unique<ClockWindow>(services);
    std::unique_ptr<ClockView> window = std::make_unique<ClockView>(*model, services);
};

// Runs the event loop until the condition holds, for five seconds at most; whether it held. (Qt's
// QTRY macros report to Qt's test log, which GoogleTest never reads.)
template <typename Condition> bool eventually(Condition condition) {
    return QTest::qWaitFor(condition, 5000);
}

inline bool near(QRgb pixel, int red, int green, int blue, int tolerance = 40) {
    return std::abs(qRed(pixel) - red) <= tolerance &&
           std::abs(qGreen(pixel) - green) <= tolerance &&
           std::abs(qBlue(pixel) - blue) <= tolerance;
}

} // namespace tamberlight::test
