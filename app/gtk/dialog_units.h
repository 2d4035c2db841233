#pragma once
// Dialog units of the original dialog template turned into pixels for a font:
// a quarter of the average character width across, an eighth of the height down.

#include <gtkmm/widget.h>

namespace tarnwick::gtk {

class DialogUnits {
public:
    explicit DialogUnits(Gtk::Widget& fontOwner);
    int across(int units) const { return (units * averageWidth_ + 2) / 4; }
    int down(int units) const { return (units * height_ + 4) / 8; }

private:
    int averageWidth_ = 0;
    int height_ = 0;
};

}  // namespace tarnwick::gtk
