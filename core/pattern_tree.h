#pragma once
// The data passed between the checker's stages: parse reads the pattern into
// a tree of our grammar, rewrite turns it into the tree the engine must read,
// print writes that one out.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

#include "text_types.h"

namespace tarnwick::pattern {

enum class NodeKind : std::uint8_t {
    alternation,     // children: two or more alternatives
    concatenation,   // children: the terms of one alternative, any number
    repetition,      // one child; min, max, lazy
    group,           // one child; number: the capture group's, 0 for (?:…)
    lookahead,       // one child; negated for (?!…)
    backReference,   // number: the capture group it names
    characterClass,  // items; negated for [^…]
    literal,         // text: one or more characters, one after the other
    anyCharacter,    // '.'
    assertion,       // character: '^', '$', 'b' or 'B'
    // Only in the rewritten tree: the helper groups the engine needs.
    marker,          // an empty capture group that records that the match passed there; number: its index
    markerReference, // a back reference to a marker; number: the marker's index
};

inline constexpr std::uint64_t unbounded = UINT64_MAX;

// One element of a bracket expression.
struct ClassItem {
    enum class Kind : std::uint8_t {
        character,    // first; also [.c.]
        range,        // first-last
        escape,       // first: the letter of \d \D \s \S \w \W
        named,        // name: [[:name:]], in lower case, as the pattern writes it
        equivalence,  // first: [=c=], which holds its one character
    };
    ClassItem(Kind kind, wchar_t first, wchar_t last = 0, std::wstring_view name = {})
        : kind(kind), first(first), last(last), name(name) {}
    Kind kind;
    wchar_t first = 0;
    wchar_t last = 0;
    std::wstring_view name;  // points into the table of class names
};

// A node's children are its tree's nodes at the places it names; a node may be
// the child of several, since the rewritten tree shares what two forms of a
// piece have in common.
using NodeId = std::uint32_t;

struct Node {
    explicit Node(NodeKind kind) : kind(kind) {}
    NodeKind kind;
    bool lazy = false;
    bool negated = false;
    std::size_t position = 0;  // where it starts in the pattern
    std::size_t end = 0;       // a repetition: where its quantifier ends
    std::uint64_t min = 0;
    std::uint64_t max = 0;
    std::size_t number = 0;
    wchar_t character = 0;
    WideText text;
    std::vector<NodeId> children;
    std::vector<ClassItem> items;
};

// The nodes live in one vector and name each other by place, so that the
// stages' recursion keeps only small values on the stack, however deep the
// pattern's nesting.
struct PatternTree {
    std::vector<Node> nodes;
    NodeId root = 0;

    NodeId add(NodeKind kind) {
        nodes.emplace_back(kind);
        return static_cast<NodeId>(nodes.size() - 1);
    }
    Node& operator[](NodeId id) { return nodes[id]; }
    const Node& operator[](NodeId id) const { return nodes[id]; }
};

struct ParsedPattern {
    PatternTree tree;
    std::size_t captureGroups = 0;
};

// The tree the engine reads, and what the group slots need beyond it.
struct EnginePattern {
    PatternTree tree;
    std::size_t markers = 0;
    struct GroupLookaheads {
        std::vector<std::size_t> markers;  // of the positive look-aheads around the group
        bool inNegativeLookahead = false;
    };
    std::vector<GroupLookaheads> groups;  // indexed by group number; group 0 is the whole match
};

}  // namespace tarnwick::pattern
