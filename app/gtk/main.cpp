// tarnwick: the window that checks a regular expression while one types.

#include <gtk/gtk.h>
#include <gtkmm/application.h>

#include <cstdio>

#include "main_window.h"

int main(int argc, char** argv) {
    // The program has always ended with status 1, however it is closed.
    constexpr int exitStatus = 1;
    if (!gtk_init_check(&argc, &argv)) {
        std::fprintf(stderr, "tarnwick: no display to open the window on; without a desktop run: xvfb-run -a %s\n",
                     argv[0]);
        return exitStatus;
    }
    auto application = Gtk::Application::create("org.tarnwick.Tarnwick", Gio::APPLICATION_NON_UNIQUE);
    tarnwick::gtk::MainWindow window;
    application->run(window);
    return exitStatus;
}
