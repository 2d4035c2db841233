#include "edit_history.h"

#include <algorithm>

namespace tarnwick::app {
namespace {

bool isSpace(const std::string& text) { return text == " " || text == "\t" || text == "\n" || text == "\u3000"; }

// The edit that undoes `edit`.
TextEdit reversed(const TextEdit& edit) { return {edit.position, edit.inserted, edit.erased}; }

}  // namespace

std::size_t characterCount(const std::string& utf8) {
    return static_cast<std::size_t>(
        std::count_if(utf8.begin(), utf8.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

void EditHistory::recordInsertion(std::size_t position, const std::string& text) { record({position, "", text}); }

void EditHistory::recordErasure(std::size_t position, const std::string& text) { record({position, text, ""}); }

void EditHistory::recordReplacement(std::size_t position, const std::string& erased, const std::string& inserted) {
    stepOpen_ = false;
    record({position, erased, inserted});
    stepOpen_ = false;
}

void EditHistory::record(TextEdit edit) {
    undone_.clear();
    const bool typed = characterCount(edit.inserted) == 1 && edit.erased.empty();
    const bool deletedOne = characterCount(edit.erased) == 1 && edit.inserted.empty();
    if (stepOpen_ && !done_.empty()) {
        std::vector<TextEdit>& step = done_.back();
        const TextEdit& last = step.back();
        // Typing on where the last character went, within the same word.
        const bool typingOn = typed && !last.inserted.empty() && last.erased.empty() &&
                              edit.position == last.position + characterCount(last.inserted) &&
                              !(isSpace(edit.inserted) && !isSpace(last.inserted));
        // Backspace or Delete on from the last deleted character.
        const bool deletingOn = deletedOne && last.inserted.empty() && characterCount(last.erased) == 1 &&
                                (edit.position + 1 == last.position || edit.position == last.position);
        // What replaces a selection belongs to the step that removed it.
        const bool replacing = !edit.inserted.empty() && edit.erased.empty() && last.inserted.empty() &&
                               characterCount(last.erased) > 1 && edit.position == last.position;
        if (typingOn || deletingOn || replacing) {
            step.push_back(std::move(edit));
            stepOpen_ = typingOn || deletingOn || (replacing && typed);
            return;
        }
    }
    stepOpen_ = typed || deletedOne || !edit.erased.empty();
    done_.push_back({std::move(edit)});
}

std::optional<std::vector<TextEdit>> EditHistory::undo() {
    if (done_.empty()) return std::nullopt;
    std::vector<TextEdit> step = std::move(done_.back());
    done_.pop_back();
    std::vector<TextEdit> back;
    for (auto edit = step.rbegin(); edit != step.rend(); ++edit) back.push_back(reversed(*edit));
    undone_.push_back(std::move(step));
    stepOpen_ = false;
    return back;
}

std::optional<std::vector<TextEdit>> EditHistory::redo() {
    if (undone_.empty()) return std::nullopt;
    std::vector<TextEdit> step = std::move(undone_.back());
    undone_.pop_back();
    done_.push_back(step);
    stepOpen_ = false;
    return step;
}

}  // namespace tarnwick::app
