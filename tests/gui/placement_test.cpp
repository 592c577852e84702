// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
// The window's placement: the saved one comes back, on a screen, and closing saves the new one.
#include "support/window_test.h"

#include <QScreen>

namespace tamberlight::test {

using Placement = WindowTest;

TEST_F(Placement, TheSavedPlacementComesBackAndClosingSavesTheNormalOne) {
    services.settingsFile = std::string("\r\n\r\n 1350\r\n 2250\r\n 4500\r\n 7500\r\n 0\r\nT\r\n");
    open();
    EXPECT_EQ(window->frameGeometry(), QRect(150, 90, 300, 500)) << "the outer frame, in twips";
    window->setGeometry(200, 100, 320, 480);
    QCoreApplication::processEvents();
    const QRect f = window->frameGeometry();
    window->showMaximized();
    QCoreApplication::processEvents();
    ASSERT_TRUE(window->isMaximized());
    window->close();
    const auto twips = [](int pixels) { return std::to_string(pixels * 15); };
    EXPECT_EQ(file(), "\r\n\r\n " + twips(f.y()) + "\r\n " + twips(f.x()) + "\r\n " +
                          twips(f.width()) + "\r\n " + twips(f.height()) + "\r\n 0\r\nT\r\n");
}

TEST_F(Placement, ADamagedPlacementStillShowsTheWindowOnAScreen) {
    for (const char* size : {" 15\r\n 0", " 300000000\r\n 1e9"}) {
        services.settingsFile =
            "\r\n\r\n-1500000\r\n-1500000\r\n" + std::string(size) + "\r\n 0\r\n\r\n";
        ClockWindow damaged{services};
        ClockView shown{damaged, services};
        shown.load();
        shown.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&shown));
        const QRect screen = QGuiApplication::primaryScreen()->availableVirtualGeometry();
        EXPECT_GE(shown.width(), shown.minimumWidth()) << size;
        EXPECT_LE(shown.height(), screen.height()) << size;
        EXPECT_TRUE(screen.intersects(shown.frameGeometry())) << size;
    }
}

} // namespace tamberlight::test
