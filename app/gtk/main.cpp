// tarnwick: the window that checks a regular expression while one types.

#include <gtk/gtk.h>
#include <gtkmm/application.h>

#include <cstdio>
#include <string>

#include "main_window.h"
#include "version.h"

namespace {

// For --help and --version (and the manual page made from them); the window takes no other options.
bool answeredOption(int argc, char** argv) {
    if (argc != 2) return false;
    const std::string option = argv[1];
    if (option == "--version") {
        std::printf("tarnwick %s\n", tarnwick::versionNumber);
        return true;
    }
    if (option != "--help") return false;
    std::printf(
        "Usage: tarnwick\n"
        "Checks a regular expression while you type: the window's three boxes are\n"
        "Expression, Text and Result. On every change the lines of the text are\n"
        "joined, the expression (ECMAScript grammar) is matched against the whole\n"
        "joined text, and Result lists the match and each capture group.\n\n"
        "  --help     show this text\n"
        "  --version  show the version\n\n"
        "Exit status: always 1, however the window is closed (0 after --help or --version).\n");
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    // The program has always ended with status 1, however it is closed.
    constexpr int exitStatus = 1;
    if (answeredOption(argc, argv)) return 0;
    if (!gtk_init_check(&argc, &argv)) {
        std::fprintf(stderr, "tarnwick: no display to open the window on; without a desktop run: xvfb-run -a %s\n",
                     argv[0]);
        return exitStatus;
    }
    auto application = Gtk::Application::create("io.github.tarnwick.Tarnwick", Gio::APPLICATION_NON_UNIQUE);
    tarnwick::gtk::MainWindow window;
    application->run(window);
    return exitStatus;
}
