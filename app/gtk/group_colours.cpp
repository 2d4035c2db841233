#include "group_colours.h"

#include <gtkmm/stylecontext.h>

#include <array>

namespace tarnwick::gtk {
namespace {

// Pale on a light theme, deep on a dark one, so the theme's own text colour
// stays readable on each; neighbours differ in hue, so nested groups show apart.
constexpr std::array<const char*, 8> lightColours = {"#fff1a8", "#bcdcff", "#c6efbf", "#ffc8dc",
                                                     "#dccdff", "#ffd6ad", "#b5e9e4", "#e6e69c"};
constexpr std::array<const char*, 8> darkColours = {"#575022", "#1b4770", "#2b5828", "#6b2745",
                                                    "#45376f", "#6a4320", "#1d5a55", "#515128"};

}  // namespace

bool hasDarkTheme(Gtk::Widget& widget) {
    const Gdk::RGBA text = widget.get_style_context()->get_color(Gtk::STATE_FLAG_NORMAL);
    return 0.299 * text.get_red() + 0.587 * text.get_green() + 0.114 * text.get_blue() > 0.5;
}

Gdk::RGBA groupColour(std::size_t group, bool dark) {
    const auto& colours = dark ? darkColours : lightColours;
    // Group 0 alone has the first colour; the capture groups cycle through the rest.
    const std::size_t index = group == 0 ? 0 : 1 + (group - 1) % (colours.size() - 1);
    return Gdk::RGBA(colours[index]);
}

Gdk::RGBA matchedPartColour(bool dark) { return Gdk::RGBA(dark ? "#ff9f43" : "#d35400"); }

Gdk::RGBA faultColour(bool dark) { return Gdk::RGBA(dark ? "#ff6b6b" : "#d00000"); }

Gdk::RGBA warningColour(Gtk::Widget& widget) {
    Gdk::RGBA colour;
    if (widget.get_style_context()->lookup_color("warning_color", colour)) return colour;
    return Gdk::RGBA(hasDarkTheme(widget) ? "#ffa348" : "#c64600");  // themes without one
}

}  // namespace tarnwick::gtk
