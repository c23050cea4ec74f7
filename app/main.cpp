// The program's start: the interpreters' module state is initialised with the
// program, the application gets its title, the window is created and the event
// loop runs until the window closes.
#include "app/mainwindow.h"

#include <QApplication>

#include <clocale>

int main(int argc, char** argv) {
    // The layout is in device pixels, as the window is designed: no scaling
    // for the screen's resolution unless the user asks for it.
    if (qEnvironmentVariableIsEmpty("QT_ENABLE_HIGHDPI_SCALING"))
        qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    QApplication application(argc, argv);
    // Qt adopts the user's locale; number texts here always use ".".
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QStringLiteral("Tessarel"));
    Tfplot3d window;
    window.show();
    window.activateWindow(); // the shortcuts need the window to be active

    return QApplication::exec();
}
