#pragma once

#include "app/form1.h"
#include "platform/qt/form1_window.h"
#include "support/fake_services.h"
#include "support/temp_dir.h"

#include <QImage>
#include <QPoint>
#include <QPushButton>
#include <gtest/gtest.h>
#include <memory>

namespace tamberlight::testing {

// The real window over a Form1 whose dialogs the test answers; pictures load through Qt; the
// settings file lives in a temporary directory.
class WindowTest : public ::testing::Test {
protected:
    WindowTest();
    ~WindowTest() override;

    // Loads and shows the window, as the program does at start.
    void open();
    // Stops the clock's timer so that no tick comes between a step and its check.
    void stopTimer();
    // Runs a handler the way the window runs its events.
    void run(void (Form1::*handler)());
    QImage grab() const;
    QPushButton* button(int number) const;
    template <typename T> T* widget(const char* name) const {
        return window->findChild<T*>(QString::fromLatin1(name));
    }
    // A click with the left button at a point of the window or of one of its widgets.
    void click(QWidget* target, QPoint at) const;

    TempDir dir;
    FakeServices services;
    std::unique_ptr<Form1> form;
    std::unique_ptr<Form1Window> window;
};

// Colour tests on grabbed pixels.
bool near(QRgb pixel, int red, int green, int blue, int tolerance = 40);

} // namespace tamberlight::testing
