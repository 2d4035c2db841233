#pragma once
// The one error type of the regular-expression service. Codes are those of the
// engine's error enumeration, counted from 0, and are what the report line prints.

#include <cstddef>
#include <cstdint>
#include <exception>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

namespace tarnwick {

enum class PatternError : int {
    collate = 0,     // empty or unterminated [[.x.]], empty [[=x=]]
    ctype = 1,       // unknown or unterminated [[:name:]]
    escape = 2,      // invalid escape sequence
    backref = 3,     // back reference to a group that does not exist or is still open
    brack = 4,       // unclosed [ or lone ]
    paren = 5,       // unclosed ( or lone )
    brace = 6,       // lone }
    badbrace = 7,    // bad repetition count in braces
    range = 8,       // bad character range
    space = 9,       // pattern too large for the engine
    badrepeat = 10,  // nothing to repeat
    complexity = 11, // too many capture groups, or the match exceeded its work limit
    stack = 12,      // too deeply nested, or the match exceeded its stack limit
    parse = 13,
    syntax = 14,     // any other syntax error
};

// Thrown where a pattern fails; caught only by the regular-expression service.
class RegexError : public std::runtime_error {
public:
    static constexpr std::size_t noPosition = static_cast<std::size_t>(-1);

    explicit RegexError(PatternError code, std::size_t position = noPosition, std::string reason = {},
                        std::uint64_t steps = 0)
        : std::runtime_error("regular expression error"),
          code_(code), position_(position), reason_(std::move(reason)), steps_(steps) {}
    PatternError code() const noexcept { return code_; }
    // The character of the pattern where the checker found the fault; noPosition
    // for the engine's own limits, which belong to no one place.
    std::size_t position() const noexcept { return position_; }
    // What the pattern tried, where the grammar lacks something users know from
    // other engines; empty where describe(code()) says it.
    const std::string& reason() const noexcept { return reason_; }
    // For a match stopped at a limit: the steps it took until then.
    std::uint64_t steps() const noexcept { return steps_; }

private:
    PatternError code_;
    std::size_t position_;
    std::string reason_;
    std::uint64_t steps_;
};

// A check or match given up because a newer evaluation wants the thread: no
// result, no error and no report line.
class MatchCancelled : public std::exception {
public:
    const char* what() const noexcept override { return "match cancelled"; }
};

// A short human reason for the error, for status lines ("unmatched parenthesis").
std::string_view describe(PatternError code);

}  // namespace tarnwick
