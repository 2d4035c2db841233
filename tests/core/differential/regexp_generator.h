#pragma once
// Random regular expressions from the part of the ECMAScript grammar where
// our engine and V8's RegExp must agree, as a tree, so that a disagreement can
// be shrunk node by node.
//
// Left out by design, each for its reason:
// - capture groups inside a repeated group: a group keeps the value of the
//   last pass that set it, where ECMAScript resets it at every pass;
// - back references to groups that are not yet closed (forward or from within
//   the group): refused with code 3, where ECMAScript matches the empty string;
// - bracket names ([[:alpha:]], [[=x=]], [[.x.]]): not ECMAScript;
// - carriage returns and non-ASCII characters in the text: V8 also ends lines
//   at CR, U+2028 and U+2029, and its \w, \d and classes are ASCII-only
//   without flags; ours are Unicode-aware by design;
// - a match that our engine stops at its work limit (code 11): a documented
//   limit of ours, counted and printed apart; V8 backtracks without one;
// - the legacy (Annex B) forms V8 accepts without the u flag (octal escapes,
//   a lone '{' or ']', quantified look-aheads): refused here by design.

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace tarnwick::differential {

struct RegexpNode {
    enum class Kind { atom, sequence, alternation, group, lookahead, repeat, assertion, backReference };
    Kind kind = Kind::atom;
    int atom = 0;           // atom: index into the atom table; assertion: index into the assertions
    bool capturing = false; // group
    int number = 0;         // group: its number when capturing; backReference: the group it names
    bool negative = false;  // lookahead
    int min = 0;            // repeat
    int max = -1;           // repeat; -1 unbounded
    bool lazy = false;      // repeat
    std::vector<RegexpNode> children;
};

// The pattern as text, in the syntax both engines read alike.
std::string render(const RegexpNode& node);

class RegexpGenerator {
public:
    explicit RegexpGenerator(std::uint32_t seed) : random_(seed) {}

    RegexpNode pattern();
    // A text the pattern may well match, built by walking it.
    std::string sampleText(const RegexpNode& pattern);
    // A random text over the alphabet of the atoms.
    std::string randomText();
    // The sample with one character inserted, deleted or replaced.
    std::string mutated(std::string text);

private:
    RegexpNode node(int depth, bool inRepeat);
    void sample(const RegexpNode& node, std::string& out, std::vector<std::string>& captured);
    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }

    std::mt19937 random_;
    int groups_ = 0;
    std::vector<int> closed_;
};

// Every pattern one step smaller: a node replaced by one of its children, a
// child of a sequence or alternation dropped, a repetition made plainer.
std::vector<RegexpNode> shrinkPattern(const RegexpNode& pattern);

// Every text one character shorter.
std::vector<std::string> shrinkText(const std::string& text);

}  // namespace tarnwick::differential
