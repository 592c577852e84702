#include "app/form1.h"
#include "platform/qt/fonts.h"
#include "platform/qt/form1_window.h"
#include "platform/qt/qt_services.h"
#include "platform/qt/termination.h"
#include "settings/settings_file.h"

#include <QApplication>
#include <csignal>
#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[]) {
    // A settings file that reaches the file-size limit is a failed save, not the end of the
    // program.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication application(argc, argv);
    // Wayland compositors find the window's icon and name through the desktop entry.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(tamberlight::ApplicationId));
    tamberlight::installFontSubstitutions();
    tamberlight::QtServices services;
    tamberlight::Form1 form(services);
    tamberlight::Form1Window window(form);
    services.setDialogParent(&window);
    window.load();
    window.show();
    tamberlight::closeOnTermination(window);
    return QApplication::exec();
}
