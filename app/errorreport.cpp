#include "app/errorreport.h"

#include <QApplication>
#include <QMessageBox>

namespace errorreport {

namespace {

int g_depth = 0;
bool g_reportOpen = false;
Presenter g_presenter;

void ShowBox(const QString& text) {
    QMessageBox box(QMessageBox::Critical, QApplication::applicationName(), text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

} // namespace

QString ReportText(const QString& message) {
    if (!message.isEmpty() && message.back() > QChar('.')) return message + '.';
    return message;
}

bool Report(const QString& message) {
    if (g_reportOpen) return false;
    g_reportOpen = true;
    try {
        ModalScope modal;
        const QString text = ReportText(message);
        if (g_presenter)
            g_presenter(text);
        else
            ShowBox(text);
    } catch (...) {
        g_reportOpen = false;
        throw;
    }
    g_reportOpen = false;
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
