#pragma once
// The data passed between the stages convert -> check -> match -> compose.

#include <cstddef>
#include <string>
#include <vector>

namespace tarnwick {

// Bytes in code page 932 (Shift_JIS as Windows defines it); characters take one or two bytes.
using NarrowText = std::string;

// Wide characters as the regular-expression engine sees them.
using WideText = std::wstring;

// Group 0 (the whole match) first, then each capture group in the order of its
// opening parenthesis; empty when there is no match.
using GroupList = std::vector<NarrowText>;

// Where a group matched, in characters of a text: [start, end).
struct GroupSpan {
    std::size_t start;
    std::size_t end;
    bool operator==(const GroupSpan&) const = default;
};

}  // namespace tarnwick
