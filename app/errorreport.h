// The standard error report of the window. Every entry point of the window (a
// slot, a timer tick, an event) runs its handler through Guarded: an error that
// leaves the handler skips the handler's remaining steps, is shown in a critical
// message box captioned with the application title, and the program goes on.
//
// Handlers that run inside another handler (a field's change handler run by a
// program write of its value) let their errors travel to the outermost one, so
// one error skips the remaining steps of every handler it passes through and is
// reported once.
#pragma once

#include <QString>

#include <exception>
#include <functional>
#include <utility>

namespace errorreport {

// The text the box shows: the message, with a "." appended when its last
// character sorts after ".".
QString ReportText(const QString& message);

// Shows one report: a critical message box captioned with the application
// title, which takes the focus (Esc and Enter close it). The box does not
// block: the failed handler has already ended, and the simulation timer keeps
// running while the box is open. While a report is
// open, further errors are dropped instead of stacking boxes, which the 15 ms
// simulation would otherwise do. Returns whether this error was shown.
bool Report(const QString& message);
bool ReportOpen();

// Replaces the message box: the presenter is called with the text, and the
// report counts as open until it returns. An empty function restores the box.
using Presenter = std::function<void(const QString& text)>;
void SetPresenter(Presenter presenter);

// True while a guarded handler is running.
bool InsideHandler();

// Wraps a modal dialog opened inside a handler: the dialog's event loop runs
// timer ticks and other events, which are outermost entry points of their own.
class ModalScope {
  public:
    ModalScope();
    ~ModalScope();
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;

  private:
    int m_savedDepth;
};

namespace detail {
class Depth {
  public:
    Depth();
    ~Depth();
    Depth(const Depth&) = delete;
    Depth& operator=(const Depth&) = delete;
    bool Outermost() const { return m_outermost; }

  private:
    bool m_outermost;
};
void ReportException(const std::exception& e);
} // namespace detail

// Runs f as a handler entry point (see above).
template <class F>
void Guarded(F&& f) {
    detail::Depth depth;
    if (!depth.Outermost()) {
        std::forward<F>(f)();
        return;
    }
    try {
        std::forward<F>(f)();
    } catch (const std::exception& e) {
        detail::ReportException(e);
    }
}

} // namespace errorreport
