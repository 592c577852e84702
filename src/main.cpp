#include "app/form1.h"
#include "platform/platform_error.h"
#include "qt/fonts.h"
#include "qt/form1_window.h"
#include "qt/qt_services.h"
#include "qt/single_instance.h"
#include "qt/termination.h"

#include <QApplication>
#include <csignal>

int main(int argc, char* argv[]) {
    using namespace tamberlight;
    // A settings file that reaches the file-size limit is a failed save, not the end of the
    // program.
    std::signal(SIGXFSZ, SIG_IGN);
    // Qt's shared-memory images make every repaint wait on a round trip with the X server,
    // which wakes the program twice more per tick; a small window loses nothing without them.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM"))
        qputenv("QT_XCB_NO_MITSHM", "1");
    QApplication application(argc, argv);
    // Wayland compositors find the window's icon and name through the desktop entry.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(ApplicationId));
    installFontSubstitutions();

    SettingsStore settings = SettingsStore::forThisProgram();
    SingleInstance instance(settings.path());
    QWidget* shown = nullptr;
    try {
        if (!instance.claim([&shown] {
                if (shown == nullptr)
                    return;
                shown->setWindowState(shown->windowState() & ~Qt::WindowMinimized);
                shown->raise();
                shown->activateWindow();
            })) {
            printToStandardError("a window with the settings " + settings.path().string() +
                                 " is open already; it is brought to the front");
            return 0;
        }
    } catch (const PlatformError& error) {
        printToStandardError(error.what());
    }
    // The next start may go ahead as soon as the closing save is done.
    QObject::connect(&application, &QGuiApplication::lastWindowClosed, &application,
                     [&instance] { instance.release(); });

    QtServices services(std::move(settings));
    Form1 form(services);
    Form1Window window(form, services);
    shown = &window;
    services.setDialogParent(&window);
    window.load();
    window.show();
    closeOnTermination(window);
    return QApplication::exec();
}
