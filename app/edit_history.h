#pragma once
// Undo and redo for a text box whose toolkit has none (GTK 3's entries and
// text views). The box reports each insertion and erasure; the history groups
// them into steps as users expect: the characters of one typed word, one
// paste, one cut, a selection and what replaced it. Positions and lengths are
// in characters; texts are UTF-8.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace tarnwick::app {

struct TextEdit {
    std::size_t position;
    std::string erased;    // the text that was there
    std::string inserted;  // the text put in its place
};

class EditHistory {
public:
    void recordInsertion(std::size_t position, const std::string& text);
    void recordErasure(std::size_t position, const std::string& text);
    // A replacement made in one go (a paste the window decodes): a step of its own.
    void recordReplacement(std::size_t position, const std::string& erased, const std::string& inserted);

    // The next edit starts a step of its own (the box lost the focus).
    void closeStep() { stepOpen_ = false; }

    // The edits that take the box one step back (or forward), to be applied
    // in order; recording is for the caller to suspend meanwhile.
    std::optional<std::vector<TextEdit>> undo();
    std::optional<std::vector<TextEdit>> redo();

private:
    void record(TextEdit edit);

    std::vector<std::vector<TextEdit>> done_;
    std::vector<std::vector<TextEdit>> undone_;
    bool stepOpen_ = false;  // the next typed character may join the last step
};

// The number of characters of a UTF-8 text.
std::size_t characterCount(const std::string& utf8);

}  // namespace tarnwick::app
