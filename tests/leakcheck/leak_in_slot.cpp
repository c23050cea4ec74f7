// A deliberate leak inside a timer slot of a running Qt event loop. Under
// LeakSanitizer with the project's suppressions this program must be reported:
// the suppressions may hide what Qt and the system libraries keep, never a
// leak whose stack passes through Qt on its way to our code.
#include <QApplication>
#include <QTimer>
#include <QWidget>

namespace {

int* volatile g_kept = nullptr;

void LeakInSlot() {
    g_kept = new int[64]; // never freed: the finding the check expects
    g_kept = nullptr;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QWidget window;
    window.show();
    QTimer::singleShot(0, &app, [] { LeakInSlot(); });
    QTimer::singleShot(20, &app, &QApplication::quit);
    return app.exec();
}
