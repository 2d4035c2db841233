#pragma once
// One evaluation of the main window: read both input boxes, compose the Result
// on code page 932 text, and show it with a status line that says why.

#include <optional>
#include <string>

#include "regex_service.h"
#include "window_boxes.h"

namespace tarnwick::app {

struct Evaluation {
    std::optional<std::string> result;  // UTF-8, LF line breaks; no value: leave the Result box as it is
    std::string status;
    BoxMarks marks;  // meaningful with a result only
};

// The widgets' UTF-8 texts to code page 932 (unrepresentable characters
// become "?"), the Text box's line breaks to CR LF, then the Result.
Evaluation evaluate(const std::string& expression, const std::string& text);

// Reads both boxes, then updates the Result box (unless there is no update) and the status line.
void evaluateBoxes(WindowBoxes& boxes);

// Why the Result is what it is, in one line.
std::string statusLine(const MatchOutcome& outcome);

// The status line while both input boxes are empty.
inline constexpr const char* emptyBoxesStatus = "Both boxes are empty: the Result is left as it was";

}  // namespace tarnwick::app
