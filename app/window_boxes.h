#pragma once
// The main window's boxes as an evaluation is shown in them, whatever toolkit
// draws them: texts in UTF-8, with the line breaks the toolkit's boxes hold.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "result_view.h"
#include "text_types.h"

namespace tarnwick::app {

// What an evaluation marks in the boxes, in characters of each box's text.
struct BoxMarks {
    std::vector<std::optional<GroupSpan>> groups;  // in Text, group 0 first; no value: took no part
    std::optional<GroupSpan> matchedPart;          // no match: the first part of Text the expression matches
    std::optional<std::size_t> fault;              // an invalid expression: its character where it fails
    std::optional<GroupSpan> growth;               // in Expression: the repetitions whose cost explodes
    std::vector<GroupSpan> resultLines;            // in Result as shown, each group's line (line break excluded)
};

class WindowBoxes {
public:
    virtual ~WindowBoxes() = default;
    // The whole Result, and how its box shows it (long lines cut).
    virtual void showResult(const std::string& result, const ShownResult& shown) = 0;
    virtual void showStatus(const std::string& status) = 0;
    // A window that marks nothing need not override it.
    virtual void showMarks(const BoxMarks& /*marks*/) {}
    // A Text on which the expression's cost explodes (UTF-8), for the user to
    // try; empty: none. A window that offers nothing need not override it.
    virtual void offerAttack(const std::string& /*attackText*/) {}
    // Whether an evaluation is taking long (a spinner beside the status line).
    virtual void showBusy(bool /*busy*/) {}
};

}  // namespace tarnwick::app
