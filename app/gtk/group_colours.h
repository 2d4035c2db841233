#pragma once
// The colours that mark each group, the same in the Text and Result boxes, and
// readable on a light or a dark theme.

#include <gdkmm/rgba.h>
#include <gtkmm/widget.h>

#include <cstddef>

namespace tarnwick::gtk {

// Whether the widget's theme draws light text on a dark background.
bool hasDarkTheme(Gtk::Widget& widget);

// Group 0 (the whole match) a light wash; each capture group a hue of its own,
// the hues repeating after a while.
Gdk::RGBA groupColour(std::size_t group, bool dark);

// The mark under the part of the text that matched where the whole did not.
Gdk::RGBA matchedPartColour(bool dark);

// The mark on the character where an expression fails.
Gdk::RGBA faultColour(bool dark);
// The theme's warning colour, for repetitions whose cost explodes.
Gdk::RGBA warningColour(Gtk::Widget& widget);

}  // namespace tarnwick::gtk
