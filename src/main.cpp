// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#include "app/clock_window.h"
#include "platform/platform_error.h"
#include "qt/activation.h"
#include "qt/clock_view.h"
#include "qt/command_line.h"
#include "qt/qt_services.h"
#include "qt/qt_warnings.h"
#include "qt/served_page.h"
#include "qt/shared_clock.h"
#include "qt/single_instance.h"
#include "qt/termination.h"
#include "qt/translations.h"

#include <QApplication>
#include <csignal>
#include <memory>
#include <optional>

int main(int argc, char* argv[]) {
    using namespace tamberlight;
    // A settings file that reaches the file-size limit is a failed save, not the end of the
    // program.
    std::signal(SIGXFSZ, SIG_IGN);
    // Qt's shared-memory images make every repaint wait on a round trip with the X server,
    // which wakes the program twice more per tick; a small window loses nothing without them.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM"))
        qputenv("QT_XCB_NO_MITSHM", "1");
    const CommandLine line = readCommandLine(argc, argv);
    const QByteArray startToken = desktopStartToken();
    keepQtsOwnWarningsOut();
    QApplication application(argc, argv);
    // Wayland compositors find the window's icon and name through the desktop entry.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(ApplicationId));
    installQtTranslations();

    SettingsStore settings = SettingsStore::forThisProgram();
    SingleInstance instance(settings.path());
    QWidget* shown = nullptr;
    try {
        const std::string open =
            "a window with the settings " + settings.path().string() + " is open already";
        switch (instance.claim(startToken, [&shown](const QByteArray& token) {
            if (shown != nullptr)
                bringToFront(*shown, token);
        })) {
        case SingleInstance::Claim::Ours:
            break;
        case SingleInstance::Claim::Forwarded:
            printToStandardError(open + "; it is brought to the front");
            return 0;
        case SingleInstance::Claim::Unanswered:
            printToStandardError(open + " but does not answer; this start ends");
            return 1;
        }
    } catch (const PlatformError& error) {
        printToStandardError(error.what());
    }
    // The next start may go ahead as soon as the closing save is done.
    QObject::connect(&application, &QGuiApplication::lastWindowClosed, &application,
                     [&instance] { instance.release(); });

    // Every line for the user goes to standard error and, once there is a window, to its foot.
    ClockView* told = nullptr;
    const ErrorSink tell = [&told](const std::string& line) {
        printToStandardError(line);
        if (told != nullptr)
            told->showNotice(line);
    };
    QtServices services(std::move(settings), tell);
    ClockWindow model(services);
    ClockView window(model, services);
    shown = told = &window;
    services.setDialogParent(&window);
    services.setBoundary([&window](const std::function<void()>& work) { window.run(work); });
    // Sounds end before the closing save, which a long schedule makes slow.
    QObject::connect(&window, &ClockView::closing, &window, [&services](bool closing) {
        closing ? services.endSounds() : services.allowSounds();
    });
    // A session that ends while a long schedule loads still gets the closing save.
    onTermination(window, [&window] { window.endSession(); });
    window.load();
    // A clock shared by a room loads its module and opens its link only when asked to.
    std::unique_ptr<SharedClock> shared;
    if (line.share) {
        shared = std::make_unique<SharedClock>(window, model, *line.share, tell);
        shared->start();
    }
    // So does a clock served as a web page.
    std::unique_ptr<ServedPage> served;
    if (line.serve) {
        served = std::make_unique<ServedPage>(window, model, *line.serve, tell);
        served->start();
    }
    window.show();
    return QApplication::exec();
}
