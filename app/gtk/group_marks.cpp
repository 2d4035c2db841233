#include "group_marks.h"

#include <algorithm>

#include "group_colours.h"

namespace tarnwick::gtk {

GroupMarks::GroupMarks(Glib::RefPtr<Gtk::TextBuffer> buffer) : buffer_(std::move(buffer)) {
    partTag_ = buffer_->create_tag();
    partTag_->property_underline() = Pango::UNDERLINE_DOUBLE;
    partTag_->property_underline_rgba() = matchedPartColour(dark_);
    // Connected first, so it runs before the evaluation that marks the new text.
    buffer_->signal_changed().connect([this] { known_ = false; }, false);
}

Glib::RefPtr<Gtk::TextTag> GroupMarks::groupTag(std::size_t group) {
    while (groupTags_.size() <= group) {
        auto tag = buffer_->create_tag();
        tag->property_background_rgba() = groupColour(groupTags_.size(), dark_);
        groupTags_.push_back(tag);
    }
    // The matched part's underline stays visible over any group.
    partTag_->set_priority(buffer_->get_tag_table()->get_size() - 1);
    return groupTags_[group];
}

void GroupMarks::apply(const Glib::RefPtr<Gtk::TextTag>& tag, GroupSpan span) {
    // A span past the end belongs to a text that has since changed.
    const auto length = static_cast<std::size_t>(buffer_->get_char_count());
    if (span.start >= span.end || span.end > length) return;
    buffer_->apply_tag(tag, buffer_->get_iter_at_offset(static_cast<int>(span.start)),
                       buffer_->get_iter_at_offset(static_cast<int>(span.end)));
}

void GroupMarks::mark(const std::vector<std::optional<GroupSpan>>& groups,
                      const std::optional<GroupSpan>& matchedPart) {
    const std::size_t count = std::min(groups.size(), markedGroups);
    const std::vector<std::optional<GroupSpan>> marked(groups.begin(), groups.begin() + static_cast<long>(count));
    if (known_ && marked == groups_ && matchedPart == matchedPart_) return;
    // A colour change only redraws what is shown, so a group's tag may be
    // removed from the whole text; an underline changes the lines' height, and
    // GTK lays out again whatever range it is removed from, so it is removed
    // only where it was.
    for (const auto& tag : groupTags_) buffer_->remove_tag(tag, buffer_->begin(), buffer_->end());
    if (matchedPart_) {
        const bool inPlace = known_ && matchedPart_->end <= static_cast<std::size_t>(buffer_->get_char_count());
        if (inPlace) {
            buffer_->remove_tag(partTag_, buffer_->get_iter_at_offset(static_cast<int>(matchedPart_->start)),
                                buffer_->get_iter_at_offset(static_cast<int>(matchedPart_->end)));
        } else {
            buffer_->remove_tag(partTag_, buffer_->begin(), buffer_->end());
        }
    }
    for (std::size_t group = 0; group < count; ++group) {
        if (marked[group]) apply(groupTag(group), *marked[group]);
    }
    if (matchedPart) apply(partTag_, *matchedPart);
    groups_ = marked;
    matchedPart_ = matchedPart;
    known_ = true;
}

void GroupMarks::recolour(bool dark) {
    if (dark == dark_) return;
    dark_ = dark;
    for (std::size_t group = 0; group < groupTags_.size(); ++group) {
        groupTags_[group]->property_background_rgba() = groupColour(group, dark);
    }
    partTag_->property_underline_rgba() = matchedPartColour(dark);
}

}  // namespace tarnwick::gtk
