#pragma once
// The second step of the growth analysis: texts that may make the engine's
// work explode, read off the automaton's ambiguity. A state with two
// distinct ways around itself on one word makes the backtracking engine try
// exponentially many ways; two loops on one word, one after the other (the
// search's loop over start positions included), add a factor of the text's
// length each. Each candidate is a hypothesis only: the measuring step decides.

#include <atomic>
#include <vector>

#include "growth_automaton.h"

namespace tarnwick::growth {

struct Candidate {
    bool exponential = false;  // the hypothesis; otherwise polynomial
    WideText prefix;
    WideText pump;
    std::vector<WideText> suffixes;  // each may force the match to fail
    PatternSpan at;
    WideText otherLetters;  // a pump of one letter: the others the same states read
};

// Exponential candidates first, then polynomial ones, at most `most`.
std::vector<Candidate> findCandidates(const Automaton& automaton, std::size_t most,
                                      const std::atomic<bool>* cancel = nullptr);

// Where the automaton cannot be trusted: single letters the pattern reads,
// each pumped from the start, for measuring alone.
std::vector<Candidate> letterCandidates(const Automaton& automaton, std::size_t most);

}  // namespace tarnwick::growth
