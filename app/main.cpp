// The program's start: the command line is read (the same surface options as
// tessarel-cli render), the interpreters' module state is initialised with the
// program, the application gets its title, the window is created and the event
// loop runs until the window closes.
#include "app/mainwindow.h"
#include "app/surfaceoptions.h"

#include <CLI/CLI.hpp>
#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QTranslator>

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

namespace {

// Qt's own options, which QApplication takes; those of the first list take a
// value. They are kept from the surface options' parser.
const char* const QtValueOptions[] = {"-platform",
                                      "-platformpluginpath",
                                      "-platformtheme",
                                      "-plugin",
                                      "-display",
                                      "-geometry",
                                      "-qwindowgeometry",
                                      "-qwindowtitle",
                                      "-qwindowicon",
                                      "-style",
                                      "-stylesheet",
                                      "-session",
                                      "-title"};
const char* const QtFlagOptions[] = {"-reverse", "-widgetcount", "-nograb", "-dograb", "-sync"};

std::vector<char*> WithoutQtOptions(int argc, char** argv) {
    std::vector<char*> kept = {argv[0]};
    for (int k = 1; k < argc; ++k) {
        const std::string_view a = argv[k];
        if (a == "--") { // the rest is ours
            kept.insert(kept.end(), argv + k, argv + argc);
            break;
        }
        const auto is = [&](const char* o) { return a == o || a == std::string("-") + o; };
        if (std::any_of(std::begin(QtValueOptions), std::end(QtValueOptions), is)) {
            ++k; // and its value
        } else if (std::none_of(std::begin(QtFlagOptions), std::end(QtFlagOptions), is)) {
            kept.push_back(argv[k]);
        }
    }
    return kept;
}

// Reads the command line into options; returns the exit status when the
// program is to end here (help, version, bad usage), or -1 to go on.
int ReadCommandLine(int argc, char** argv, surfaceoptions::SurfaceOptions& options) {
    CLI::App app{"Show a complex function F(Z) as a coloured, meshed 3D surface.", "tessarel"};
    app.set_version_flag("--version", std::string("tessarel ") + surfaceoptions::Version());
    surfaceoptions::SurfaceOptionSet set;
    set.AddTo(app,
              surfaceoptions::SurfaceOptionSet::Surface | surfaceoptions::SurfaceOptionSet::View |
                  surfaceoptions::SurfaceOptionSet::WindowPoints,
              false);
    app.footer(std::string("Without options the window starts with SIN(Z+Q)*Z/10 as always; the "
                           "options set\nits fields before the first picture.\n") +
               surfaceoptions::SamplingHelp());
    try {
        std::vector<char*> ours = WithoutQtOptions(argc, argv);
        app.parse(static_cast<int>(ours.size()), ours.data());
        options = set.Read();
        return -1;
    } catch (const CLI::Success& e) { // --help, --version
        app.exit(e);
        std::cout.flush();
        return std::cout.good() ? 0 : 1;
    } catch (const std::exception& e) { // CLI::ParseError and bad values
        std::fprintf(stderr,
                     "tessarel: %s\nusage: tessarel [OPTIONS] [FORMULA]; see tessarel --help\n",
                     e.what());
        return 2;
    }
}

} // namespace

int main(int argc, char** argv) {
    surfaceoptions::SurfaceOptions options;
    if (const int status = ReadCommandLine(argc, argv, options); status >= 0) return status;

    // The layout scales with the screen's resolution; the plot draws in the
    // screen's own pixels, so its lines stay sharp.
    QApplication application(argc, argv);
    // Qt adopts the user's locale; number texts here always use ".".
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QStringLiteral("Tessarel"));
    // The application name is the X11 window class (the desktop entry's
    // StartupWMClass); the desktop file name is the Wayland application id.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.tessarel.Tessarel"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/org.tessarel.Tessarel.svg")));
    // Qt's own dialogs and context menus speak German, as the window does.
    QTranslator qtGerman;
    if (qtGerman.load(QStringLiteral("qtbase_de"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtGerman);
    MainWindow window;
    if (argc > 1) window.ApplyStartOptions(options);
    window.show();
    window.activateWindow(); // the shortcuts need the window to be active

    return QApplication::exec();
}
