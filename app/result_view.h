#pragma once
// The Result as its box shows it. A line longer than shownLineCharacters is
// cut there and a marker stands for the rest ("… 1,038,576 more characters"),
// as editors show long lines, so that the box lays out a mebibyte Result at
// once; copying from the box gives back the whole text.

#include <cstddef>
#include <string>
#include <vector>

#include "text_types.h"

namespace tarnwick::app {

inline constexpr std::size_t shownLineCharacters = 10'000;
// A Windows edit control lays out a long line in time that grows with its
// square (under Wine 10,000 characters took 0.55 s, 2,000 took 25 ms).
inline constexpr std::size_t editControlLineCharacters = 2'000;

struct ShownResult {
    // A run of the shown text: the Result's own characters, or a marker that
    // stands for characters of the Result that are not shown.
    struct Piece {
        GroupSpan shown;        // in characters of `text`
        GroupSpan characters;   // in characters of the Result
        GroupSpan bytes;        // in bytes of the Result
        bool marker;
    };
    std::string text;  // UTF-8
    std::vector<Piece> pieces;
};

// The Result (UTF-8, LF or CR LF line breaks) as shown, lines cut after `lineCharacters`.
ShownResult showResult(const std::string& result, std::size_t lineCharacters = shownLineCharacters);

// Characters [start, end) of the shown text as the Result has them: a marker
// that is selected at all gives every character it stands for.
std::string resultText(const ShownResult& shown, const std::string& result, GroupSpan selected);

// A span of the Result in characters of the shown text; a span that ends among
// the hidden characters ends after their marker.
GroupSpan shownSpan(const ShownResult& shown, GroupSpan span);

}  // namespace tarnwick::app
