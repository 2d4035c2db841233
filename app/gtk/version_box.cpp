#include "version_box.h"

#include <glibmm/main.h>
#include <gtkmm/messagedialog.h>

#include "line_ends.h"
#include "version_text.h"

namespace tarnwick::gtk {

void showVersionInfo() {
    auto* box = new Gtk::MessageDialog(fromCrLf(app::versionInfoText()), false, Gtk::MESSAGE_INFO,
                                       Gtk::BUTTONS_OK, false);
    box->set_title("");
    box->signal_response().connect([box](int) {
        box->hide();
        // Not from inside its own signal: the box is still on the stack below us.
        Glib::signal_idle().connect_once([box] { delete box; });
    });
    box->show();
}

}  // namespace tarnwick::gtk
