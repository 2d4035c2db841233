#pragma once
// The first step of the growth analysis: the pattern's tree as a position
// automaton (one state per character the pattern reads, with its set of
// characters), over an alphabet of representative characters that code page
// 932 can hold. Look-aheads, assertions and back references read nothing
// here; the analysis measures instead of trusting the automaton where it
// meets them.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "pattern_tree.h"
#include "text_types.h"

namespace tarnwick::growth {

using StateId = std::uint32_t;

// A set of the alphabet's letters, one bit each.
class LetterSet {
public:
    LetterSet() = default;
    explicit LetterSet(std::size_t letters) : words_((letters + 63) / 64, 0) {}
    void add(std::size_t letter) { words_[letter / 64] |= std::uint64_t{1} << (letter % 64); }
    void add(const LetterSet& other) {
        for (std::size_t i = 0; i < words_.size() && i < other.words_.size(); ++i) words_[i] |= other.words_[i];
    }
    bool has(std::size_t letter) const { return (words_[letter / 64] >> (letter % 64) & 1u) != 0; }
    bool empty() const;
    std::size_t count() const;
    void keep(const LetterSet& other) {
        for (std::size_t i = 0; i < words_.size(); ++i) words_[i] &= i < other.words_.size() ? other.words_[i] : 0;
    }
    // The first letter of both sets (of all three), or none.
    static std::size_t firstCommon(const LetterSet& a, const LetterSet& b);
    static std::size_t firstCommon(const LetterSet& a, const LetterSet& b, const LetterSet& c);
    static constexpr std::size_t none = SIZE_MAX;

private:
    std::vector<std::uint64_t> words_;
};

// Where a repetition stands in the pattern, in characters: [start, end).
struct PatternSpan {
    std::size_t start = 0;
    std::size_t end = 0;
};

struct Automaton {
    std::vector<wchar_t> alphabet;  // the letters: the pattern's own characters first
    // State 0 is the start and reads nothing; with `searching`, state 1 is the
    // search's loop over every letter, as each start position is tried.
    std::vector<LetterSet> reads;
    std::vector<std::vector<StateId>> next;
    // The outermost repetition of more than one pass around each state; none
    // where no repetition holds it.
    std::vector<std::optional<PatternSpan>> loop;
    bool searching = false;
    // Back references or look-aheads, read as nothing: the automaton may miss
    // what they cost.
    bool approximate = false;
    // Too large to build within the analysis' budget: the automaton is empty.
    bool tooLarge = false;
};

inline constexpr StateId startState = 0;
inline constexpr StateId searchLoopState = 1;

Automaton buildAutomaton(const pattern::PatternTree& tree, bool searching);

}  // namespace tarnwick::growth
