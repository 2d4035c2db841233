#include "dialog_units.h"

#include <pangomm/layout.h>

namespace tarnwick::gtk {

DialogUnits::DialogUnits(Gtk::Widget& fontOwner) {
    // Windows averages the width of the 52 Latin letters; so do we.
    auto layout = fontOwner.create_pango_layout("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    int width = 0;
    int height = 0;
    layout->get_pixel_size(width, height);
    averageWidth_ = (width + 26) / 52;
    height_ = height;
}

}  // namespace tarnwick::gtk
