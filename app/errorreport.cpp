// The window's error report: the handler depth that decides which handler
// reports, and the message box that shows the report.
#include "app/errorreport.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>

namespace errorreport {

namespace {

int g_depth = 0;
bool g_presenting = false;
Presenter g_presenter;
// The report on screen, if any; it deletes itself when closed.
QPointer<QMessageBox> g_box;

void ShowBox(const QString& text) {
    const QPointer<QWidget> window = QApplication::activeWindow();
    auto* box = new QMessageBox(QMessageBox::Critical, QApplication::applicationName(), text,
                                QMessageBox::Ok, window);
    box->setAttribute(Qt::WA_DeleteOnClose);
    // Not modal: the handler that failed returns at once, the simulation
    // timer keeps ticking and the user can stop it while the report is open.
    box->setWindowModality(Qt::NonModal);
    g_box = box;
    box->show();
    // The report takes the focus, so that Esc and Enter close it and do not
    // reach the window's shortcuts (Esc would end the program).
    box->raise();
    box->activateWindow();
    // Closed, it hands the focus back, also where no window manager does.
    QObject::connect(box, &QDialog::finished, box, [window] {
        if (window) window->activateWindow();
    });
}

} // namespace

QString ReportText(const QString& message) {
    if (!message.isEmpty() && message.back() > QChar('.')) return message + '.';
    return message;
}

bool ReportOpen() {
    return g_presenting || !g_box.isNull();
}

bool Report(const QString& message) {
    if (ReportOpen()) return false;
    const QString text = ReportText(message);
    if (!g_presenter) {
        ShowBox(text);
        return true;
    }
    g_presenting = true;
    try {
        ModalScope modal;
        g_presenter(text);
    } catch (...) {
        g_presenting = false;
        throw;
    }
    g_presenting = false;
    return true;
}

void SetPresenter(Presenter presenter) {
    g_presenter = std::move(presenter);
}

bool InsideHandler() {
    return g_depth > 0;
}

ModalScope::ModalScope() : m_savedDepth(g_depth) {
    g_depth = 0;
}
ModalScope::~ModalScope() {
    g_depth = m_savedDepth;
}

namespace detail {

Depth::Depth() : m_outermost(g_depth == 0) {
    ++g_depth;
}
Depth::~Depth() {
    --g_depth;
}

void ReportException(const std::exception& e) {
    Report(QString::fromUtf8(e.what()));
}

} // namespace detail

} // namespace errorreport
