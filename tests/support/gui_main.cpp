// Runs the window tests on Qt's offscreen platform: real widgets, real events, real pixels,
// no screen.
#include "platform/qt/fonts.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt wants a private runtime directory; as root without a session there is none.
    QTemporaryDir runtime(QDir::tempPath() + QStringLiteral("/tamberlight-runtime-XXXXXX"));
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    ::testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    tamberlight::installFontSubstitutions();
    return RUN_ALL_TESTS();
}
