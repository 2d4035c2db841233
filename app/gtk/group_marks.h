#pragma once
// The group colours on one text buffer: each group's span under its own tag,
// and the part that matched where the whole did not. A long text is touched
// only when what is marked changes.

#include <gtkmm/textbuffer.h>
#include <gtkmm/texttag.h>

#include <cstddef>
#include <optional>
#include <vector>

#include "text_types.h"

namespace tarnwick::gtk {

class GroupMarks {
public:
    explicit GroupMarks(Glib::RefPtr<Gtk::TextBuffer> buffer);

    // Marks each group's span (in characters of the buffer) and the matched part.
    void mark(const std::vector<std::optional<GroupSpan>>& groups, const std::optional<GroupSpan>& matchedPart);

    // The colours for the theme's background.
    void recolour(bool dark);

    // Beyond this many groups only the first are marked: every tag costs a
    // pass over the text, and the colours repeat long before.
    static constexpr std::size_t markedGroups = 64;

private:
    Glib::RefPtr<Gtk::TextTag> groupTag(std::size_t group);
    void apply(const Glib::RefPtr<Gtk::TextTag>& tag, GroupSpan span);

    Glib::RefPtr<Gtk::TextBuffer> buffer_;
    // Created as groups need them, in order: a later tag lies on top, so an inner group shows over its outer one.
    std::vector<Glib::RefPtr<Gtk::TextTag>> groupTags_;
    Glib::RefPtr<Gtk::TextTag> partTag_;
    bool dark_ = false;
    // What the buffer shows; unknown once its text changed.
    bool known_ = true;
    std::vector<std::optional<GroupSpan>> groups_;
    std::optional<GroupSpan> matchedPart_;
};

}  // namespace tarnwick::gtk
