// From the pattern's tree to the tree the engine must read for it to match as
// ECMAScript means. Where the engine differs, the tree is rewritten:
// - A pass of a repetition after its minimum may not match the empty string
//   (the engine takes such a pass and lets it overwrite the groups), so a body
//   that can match empty is repeated, after the minimum, as its non-empty
//   matches; the passes up to the minimum stay as written.
// - A back reference to a group that took no part matches the empty string,
//   where the engine's fails: the group records its participation in a marker
//   after its whole body, and the reference tests that marker.
// - A group in a look-ahead took part only if the look-ahead held: a positive
//   look-ahead holding groups is followed by its own marker.
// - The engine copies the groups of a look-ahead's body out whenever the body
//   matches, and keeps them when the match backtracks; for a negative
//   look-ahead that body's groups then leak into its next attempt (a back
//   reference there sees them). Such a look-ahead is wrapped in a positive one,
//   (?=(?!…)), whose body fails whenever the inner body matches, so that
//   nothing is copied out.
// The tree is rewritten in place; a restriction names the nodes it shares with
// the piece's form rather than copying them.

#include <algorithm>
#include <initializer_list>
#include <optional>
#include <utility>

#include "pattern_stages.h"

namespace tarnwick::pattern {
namespace {

// How wide the matches of a piece of the pattern can be.
enum class Width {
    nonEmpty,  // never the empty string
    empty,     // only the empty string (assertions, empty groups)
    either,
};

// A piece of the pattern as the engine reads it, and what its parent needs to know.
struct Piece {
    Width width;
    NodeId form;
    // The piece restricted to its non-empty matches, in the same order of
    // preference, can be written; for a non-empty piece it is the form itself.
    bool restrictable;
    // It may be written twice: it holds no back reference or marker, whose
    // group numbers a copy would get wrong.
    bool copyable;
    // The restriction of a piece that can match empty, made only where the
    // parent asked for it: most pieces' restriction is never written.
    std::optional<NodeId> nonEmpty = std::nullopt;

    NodeId restricted() const { return width == Width::nonEmpty ? form : *nonEmpty; }
};

class Rewriter {
public:
    Rewriter(PatternTree& tree, std::size_t captureGroups) : tree_(tree), groups_(captureGroups + 1) {
        for (const Node& node : tree_.nodes) {
            if (node.kind == NodeKind::backReference) {
                groups_[node.number].referenced = true;
                ++groups_[node.number].references;
            }
        }
    }

    // Rewrites the tree in place; returns the new root.
    NodeId run(std::vector<EnginePattern::GroupLookaheads>& around, std::size_t& markers) {
        const NodeId root = piece(tree_.root, false).form;
        for (const Group& group : groups_) {
            EnginePattern::GroupLookaheads lookaheads;
            for (std::size_t id : group.lookaheads) {
                if (lookaheads_[id].negated) lookaheads.inNegativeLookahead = true;
                else lookaheads.markers.push_back(lookaheads_[id].marker);
            }
            around.push_back(std::move(lookaheads));
        }
        markers = markers_;
        return root;
    }

private:
    struct Group {
        bool referenced = false;
        std::size_t references = 0;           // back references to it in the pattern
        std::size_t marker = 0;               // its participation marker, if referenced
        std::vector<std::size_t> lookaheads;  // the look-aheads it stands in, outermost first
    };
    struct Lookahead {
        bool negated;
        std::size_t marker;  // if it holds groups and is positive
    };

    NodeId make(NodeKind kind, std::initializer_list<NodeId> children = {}, std::size_t number = 0) {
        const NodeId id = tree_.add(kind);
        tree_[id].children.assign(children);
        tree_[id].number = number;
        return id;
    }
    NodeId make(NodeKind kind, std::vector<NodeId> children) {
        const NodeId id = tree_.add(kind);
        tree_[id].children = std::move(children);
        return id;
    }
    NodeId nonCapturing(NodeId body) { return make(NodeKind::group, {body}); }
    NodeId repeated(NodeId body, std::uint64_t min, std::uint64_t max, bool lazy) {
        const NodeId node = make(NodeKind::repetition, {body});
        tree_[node].min = min;
        tree_[node].max = max;
        tree_[node].lazy = lazy;
        return node;
    }
    NodeId negativeLookahead(NodeId body) {
        const NodeId node = make(NodeKind::lookahead, {body});
        tree_[node].negated = true;
        return node;
    }
    // Never matches, but keeps the groups of `form` in the numbering.
    NodeId neverMatching(NodeId form) {
        return make(NodeKind::concatenation, {negativeLookahead(make(NodeKind::concatenation)), form});
    }
    Piece emptyPiece(NodeId form, bool copyable, bool wanted) {
        Piece piece{Width::empty, form, true, copyable};
        if (wanted) piece.nonEmpty = neverMatching(form);
        return piece;
    }

    // `node` becomes the piece's form; `wanted`: the caller may write its restriction.
    Piece piece(NodeId node, bool wanted) {
        switch (tree_[node].kind) {
            case NodeKind::alternation: return alternation(node, wanted);
            case NodeKind::concatenation: return alternative(node, wanted);
            case NodeKind::repetition: return repetition(node, wanted);
            case NodeKind::group: return group(node, wanted);
            case NodeKind::lookahead: return lookahead(node, wanted);
            case NodeKind::backReference: return {Width::either, backReference(tree_[node].number), false, false};
            case NodeKind::assertion: return emptyPiece(node, true, wanted);
            default: return {Width::nonEmpty, node, true, true};
        }
    }

    // A group's body; called directly rather than through piece(), for a frame
    // fewer on the stack at each level of nesting.
    Piece disjunction(NodeId node, bool wanted) {
        return tree_[node].kind == NodeKind::alternation ? alternation(node, wanted) : alternative(node, wanted);
    }

    Piece alternation(NodeId node, bool wanted) {
        std::vector<Piece> alternatives;
        for (std::size_t i = 0; i < tree_[node].children.size(); ++i) {
            alternatives.push_back(alternative(tree_[node].children[i], wanted));
            tree_[node].children[i] = alternatives.back().form;
        }
        Piece all{alternatives.front().width, node, true, true};
        for (const Piece& next : alternatives) {
            if (all.width != next.width) all.width = Width::either;
            all.restrictable = all.restrictable && next.restrictable;
            all.copyable = all.copyable && next.copyable;
        }
        if (wanted && all.width != Width::nonEmpty && all.restrictable) {
            std::vector<NodeId> restricted;
            for (const Piece& next : alternatives) restricted.push_back(next.restricted());
            all.nonEmpty = make(NodeKind::alternation, std::move(restricted));
        }
        return all;
    }

    // The terms of one alternative, one after the other.
    Piece alternative(NodeId node, bool wanted) {
        bool anyNonEmpty = false;
        bool copyable = true;
        struct EitherTerm {
            std::size_t index;
            Piece piece;
            bool emptyLast;  // a greedy repetition from zero: its empty match is its last, and sets nothing
        };
        std::vector<EitherTerm> either;
        for (std::size_t i = 0; i < tree_[node].children.size(); ++i) {
            const Node& written = tree_[tree_[node].children[i]];
            const bool emptyLast = written.kind == NodeKind::repetition && written.min == 0 && !written.lazy;
            const Piece term = piece(tree_[node].children[i], wanted);
            tree_[node].children[i] = term.form;
            copyable = copyable && term.copyable;
            if (term.width == Width::nonEmpty) anyNonEmpty = true;
            if (term.width == Width::either) either.push_back({i, term, emptyLast});
        }
        if (anyNonEmpty) return {Width::nonEmpty, node, true, copyable};
        if (either.empty()) return emptyPiece(node, copyable, wanted);
        // The other terms match only the empty string, so the alternative is
        // non-empty exactly when one of its terms of either width is. With one
        // such term, that term is restricted. With several, the alternative is
        // the first one non-empty, or the first one empty and the rest
        // restricted, and so on: in the order of preference as long as each
        // but the last prefers its empty match last and then sets nothing, and
        // the terms may be written more than once.
        bool restrictable = either.size() == 1 || copyable;
        for (std::size_t e = 0; e < either.size(); ++e) {
            restrictable = restrictable && either[e].piece.restrictable && (e + 1 == either.size() || either[e].emptyLast);
        }
        Piece all{Width::either, node, restrictable, copyable};
        if (wanted && all.restrictable) {
            std::vector<NodeId> branches;
            std::vector<NodeId> terms = tree_[node].children;
            std::vector<bool> dropped(terms.size(), false);
            for (const EitherTerm& term : either) {
                std::vector<NodeId> branch;
                for (std::size_t i = 0; i < terms.size(); ++i) {
                    if (dropped[i]) continue;
                    branch.push_back(i == term.index ? *term.piece.nonEmpty : terms[i]);
                }
                branches.push_back(make(NodeKind::concatenation, std::move(branch)));
                dropped[term.index] = true;  // the next branches take this term's empty match: none at all
            }
            all.nonEmpty = branches.size() == 1 ? branches.front() : make(NodeKind::alternation, std::move(branches));
        }
        return all;
    }

    Piece repetition(NodeId node, bool wanted) {
        const std::uint64_t min = tree_[node].min, max = tree_[node].max;
        const bool lazy = tree_[node].lazy;
        // A repeated group is called directly, for a frame fewer at each level of nesting.
        const NodeId child = tree_[node].children.front();
        const bool atomWanted = wanted || max > min;
        const Piece atom = tree_[child].kind == NodeKind::group ? group(child, atomWanted) : piece(child, atomWanted);
        const Width width = max == 0 || atom.width == Width::empty ? Width::empty
                            : atom.width == Width::nonEmpty && min > 0 ? Width::nonEmpty
                                                                       : Width::either;
        const bool copyable = atom.copyable && (width != Width::either || min == 0);
        NodeId form = node;
        if (atom.width != Width::nonEmpty && max > min && atom.restrictable && min == 1 && !atom.copyable && !lazy &&
            referencedWithin(atom.form)) {
            // A body whose copy would confuse the references from outside to its
            // groups, but whose groups only it references: its first pass may be
            // empty, the rest may not, and since each pass starts afresh, that is
            // its non-empty passes, or else one pass (empty, where the others
            // failed). Each branch's references name that branch's groups.
            form = make(NodeKind::alternation, {repeated(nonCapturing(*atom.nonEmpty), 1, max, false), atom.form});
        } else if (atom.width == Width::nonEmpty || max <= min || !atom.restrictable || (min > 0 && !atom.copyable)) {
            // Either nothing to mend, or a body we cannot restrict: the engine's own reading.
            tree_[node].children.front() = atom.form;
        } else if (min == 0) {
            tree_[node].children.front() = *atom.nonEmpty;
        } else {
            // The passes up to the minimum may be empty; the rest are a copy.
            const std::uint64_t optionalMax = max == unbounded ? unbounded : max - min;
            form = make(NodeKind::concatenation,
                        {repeated(atom.form, min, min, false), repeated(*atom.nonEmpty, 0, optionalMax, lazy)});
        }
        if (width == Width::empty) return emptyPiece(form, copyable, wanted);
        // Zero passes or more, each of them non-empty: at least one pass is the non-empty part.
        Piece repeat{width, form, width == Width::nonEmpty || (min == 0 && atom.restrictable), copyable};
        if (wanted && width == Width::either && repeat.restrictable) {
            repeat.nonEmpty = max == 1 ? atom.restricted() : repeated(nonCapturing(atom.restricted()), 1, max, lazy);
        }
        return repeat;
    }

    Piece group(NodeId node, bool wanted) {
        const std::size_t number = tree_[node].number;
        if (number != 0) {
            groups_[number].lookaheads = openLookaheads_;
            ++groupsSeen_;
        }
        Piece body = disjunction(tree_[node].children.front(), wanted);
        // A referenced group records, in an empty group after its whole body, that it took part.
        const bool referenced = number != 0 && groups_[number].referenced;
        std::size_t marker = 0;
        if (referenced) marker = groups_[number].marker = markers_++;
        auto wrap = [&](NodeId inner) {
            return referenced ? make(NodeKind::concatenation, {nonCapturing(inner), make(NodeKind::marker, {}, marker)})
                              : inner;
        };
        if (body.nonEmpty) body.nonEmpty = make(NodeKind::group, {wrap(*body.nonEmpty)}, number);
        const NodeId inner = wrap(body.form);
        tree_[node].children.front() = inner;
        body.form = node;
        body.copyable = body.copyable && !referenced;
        return body;
    }

    Piece lookahead(NodeId node, bool wanted) {
        const std::size_t id = lookaheads_.size();
        const bool negated = tree_[node].negated;
        lookaheads_.push_back({negated, 0});
        openLookaheads_.push_back(id);
        const std::size_t groupsBefore = groupsSeen_;
        const NodeId body = disjunction(tree_[node].children.front(), false).form;
        tree_[node].children.front() = body;
        openLookaheads_.pop_back();
        const bool holdsGroups = groupsSeen_ > groupsBefore;
        if (holdsGroups && !negated) {
            lookaheads_[id].marker = markers_++;
            const NodeId marker = make(NodeKind::marker, {}, lookaheads_[id].marker);
            return emptyPiece(make(NodeKind::concatenation, {node, marker}), false, wanted);
        }
        if (holdsGroups) return emptyPiece(make(NodeKind::lookahead, {node}), false, wanted);
        return emptyPiece(node, !holdsGroups, wanted);
    }

    // Whether every back reference to a group of this piece lies in it, and it holds no look-ahead marker.
    bool referencedWithin(NodeId piece) {
        std::vector<std::size_t> inside(groups_.size(), 0);
        std::vector<bool> defined(groups_.size(), false);
        bool lookaheadMarker = false;
        std::vector<NodeId> stack{piece};
        // Stamped rather than cleared: the walk costs the piece's nodes, not the whole tree's.
        visited_.resize(tree_.nodes.size(), 0);
        ++visit_;
        while (!stack.empty()) {
            const NodeId id = stack.back();
            stack.pop_back();
            if (visited_[id] == visit_) continue;
            visited_[id] = visit_;
            const Node& node = tree_[id];
            if (node.kind == NodeKind::backReference) ++inside[node.number];
            if (node.kind == NodeKind::group && node.number != 0) defined[node.number] = true;
            if (node.kind == NodeKind::lookahead && !node.negated) lookaheadMarker = true;
            for (NodeId child : node.children) stack.push_back(child);
        }
        if (lookaheadMarker) return false;
        // A reference from inside to a group outside names the same slot in both branches.
        for (std::size_t group = 1; group < groups_.size(); ++group) {
            if (defined[group] && inside[group] != groups_[group].references) return false;
        }
        return true;
    }

    // Where the group took no part, the reference matches the empty string:
    // "(?:\S\N|(?!\S))" with S the group's participation marker and N the
    // group itself. A group in a look-ahead took part only if the look-ahead
    // held on the path taken, so the look-ahead's marker joins S; one in a
    // negative look-ahead never did.
    NodeId backReference(std::size_t number) {
        const Group& group = groups_[number];
        std::vector<NodeId> markers;
        for (std::size_t id : group.lookaheads) {
            if (std::find(openLookaheads_.begin(), openLookaheads_.end(), id) != openLookaheads_.end()) continue;
            if (lookaheads_[id].negated) return nonCapturing(make(NodeKind::concatenation));
            markers.push_back(make(NodeKind::markerReference, {}, lookaheads_[id].marker));
        }
        markers.push_back(make(NodeKind::markerReference, {}, group.marker));
        std::vector<NodeId> took = markers;
        took.push_back(make(NodeKind::backReference, {}, number));
        const NodeId tookPart = make(NodeKind::concatenation, std::move(took));
        const NodeId tookNoPart = negativeLookahead(make(NodeKind::concatenation, std::move(markers)));
        return nonCapturing(make(NodeKind::alternation, {tookPart, tookNoPart}));
    }

    PatternTree& tree_;
    std::vector<Group> groups_;
    std::vector<Lookahead> lookaheads_;
    std::vector<std::size_t> openLookaheads_;  // those around the current place, outermost first
    std::size_t groupsSeen_ = 0;
    std::size_t markers_ = 0;
    std::vector<std::uint32_t> visited_;  // referencedWithin's stamps, by node
    std::uint32_t visit_ = 0;
};

}  // namespace

EnginePattern rewriteForEngine(ParsedPattern parsed) {
    EnginePattern engine{std::move(parsed.tree), 0, {}};
    Rewriter rewriter(engine.tree, parsed.captureGroups);
    engine.tree.root = rewriter.run(engine.groups, engine.markers);
    return engine;
}

}  // namespace tarnwick::pattern
