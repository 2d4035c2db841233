// Writes the rewritten tree as the canonical pattern the engine reads, in one
// way only: every escape spelled out, classes renamed to the Unicode-aware ones
// of EngineTraits. The engine numbers its groups by their opening parentheses,
// so the printer numbers them as it writes them; a node the tree names twice
// (the passes after a repetition's minimum) is written twice, and its groups
// get a second slot. Nested, such copies double at every level, so the output
// has a length limit, checked as it grows.

#include <cwchar>
#include <string>

#include "pattern_error.h"

#include "char_class.h"
#include "engine_traits.h"
#include "pattern_stages.h"

namespace tarnwick::pattern {
namespace {

bool isDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }
bool isAsciiLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

// Letters and digits as they are, everything else as \uXXXX.
void writeLiteral(WideText& out, wchar_t c) {
    const std::uint32_t code = static_cast<std::uint32_t>(c);  // a wchar_t may be 16 or 32 bits wide
    if (isDigit(c) || isAsciiLetter(c) || code > 0xFFFF) {     // no syntax character lies above U+FFFF
        out += c;
        return;
    }
    wchar_t buffer[8];
    std::swprintf(buffer, 8, L"\\u%04X", static_cast<unsigned>(c));
    out += buffer;
}

// A repetition as the engine writes it.
void writeQuantifier(WideText& out, std::uint64_t min, std::uint64_t max, bool lazy) {
    if (min == 1 && max == 1) return;
    if (min == 0 && max == unbounded) out += L'*';
    else if (min == 1 && max == unbounded) out += L'+';
    else if (min == 0 && max == 1) out += L'?';
    else {
        out += L'{';
        out += std::to_wstring(min);
        if (max != min) {
            out += L',';
            if (max != unbounded) out += std::to_wstring(max);
        }
        out += L'}';
    }
    if (lazy) out += L'?';
}

void writeClassName(WideText& out, std::wstring_view name) {
    out += L"[:";
    out += name;
    out += L":]";
}

// An element of a bracket expression, as the engine reads it inside brackets.
void writeClassItem(WideText& out, const ClassItem& item) {
    switch (item.kind) {
        case ClassItem::Kind::character:
        case ClassItem::Kind::equivalence: writeLiteral(out, item.first); return;
        case ClassItem::Kind::range:
            writeLiteral(out, item.first);
            out += L'-';
            writeLiteral(out, item.last);
            return;
        case ClassItem::Kind::named:
            // The word class only the checker's name reaches; the engine knows the others as they are.
            writeClassName(out, item.name == wordClassNameInPatterns ? wordClassName : item.name);
            return;
        case ClassItem::Kind::escape:
            if (item.first == L'w') writeClassName(out, wordClassName);
            else if (item.first == L'W') writeClassName(out, nonWordClassName);
            else out += {L'\\', item.first};
            return;
    }
}

class Printer {
public:
    Printer(const EnginePattern& rewritten, std::size_t longest, const std::atomic<bool>* cancel)
        : tree_(rewritten.tree), longest_(longest), cancel_(cancel), markerGroups_(rewritten.markers, 0) {
        checked_.groups.resize(rewritten.groups.size());
        checked_.groups[0].engine.push_back(0);
    }

    CheckedPattern run(const EnginePattern& rewritten) {
        write(tree_.root);
        for (std::size_t group = 0; group < rewritten.groups.size(); ++group) {
            GroupSlots& slots = checked_.groups[group];
            slots.inNegativeLookahead = rewritten.groups[group].inNegativeLookahead;
            for (std::size_t marker : rewritten.groups[group].markers) slots.markers.push_back(markerGroups_[marker]);
        }
        checked_.canonical = std::move(out_);
        return std::move(checked_);
    }

private:
    // Called once per node written: the output grows by a bounded amount
    // between two calls, except for a literal, which checks on its own.
    void checkGrowth() {
        if (out_.size() > longest_) {
            throw RegexError(PatternError::space, RegexError::noPosition,
                             "too complex to check: the engine's form of this expression would be more than " +
                                 std::to_string(checkedLengthFactor) + " times as long");
        }
        if (cancel_ != nullptr && ++nodesWritten_ % 1024 == 0 && cancel_->load(std::memory_order_relaxed)) {
            throw MatchCancelled();
        }
    }

    void write(NodeId id) {
        checkGrowth();
        const Node& node = tree_[id];
        switch (node.kind) {
            case NodeKind::alternation:
                for (std::size_t i = 0; i < node.children.size(); ++i) {
                    if (i > 0) out_ += L'|';
                    write(node.children[i]);
                }
                return;
            case NodeKind::concatenation:
                for (NodeId child : node.children) write(child);
                return;
            case NodeKind::repetition:
                write(node.children.front());
                writeQuantifier(out_, node.min, node.max, node.lazy);
                return;
            case NodeKind::group:
                if (node.number == 0) {
                    out_ += L"(?:";
                } else {
                    out_ += L'(';
                    checked_.groups[node.number].engine.push_back(++engineGroups_);  // copies made by rewriting come later
                }
                write(node.children.front());
                out_ += L')';
                return;
            case NodeKind::lookahead:
                out_ += node.negated ? L"(?!" : L"(?=";
                write(node.children.front());
                out_ += L')';
                return;
            // The group's slot written last: in a body written twice, each copy's own.
            case NodeKind::backReference: writeReference(checked_.groups[node.number].engine.back()); return;
            case NodeKind::markerReference: writeReference(markerGroups_[node.number]); return;
            case NodeKind::marker:
                out_ += L"()";
                markerGroups_[node.number] = ++engineGroups_;
                return;
            case NodeKind::characterClass: writeClass(node); return;
            case NodeKind::literal:
                for (wchar_t c : node.text) writeLiteral(out_, c);
                checkGrowth();
                return;
            case NodeKind::anyCharacter:
                // The engine's '.' also refuses U+2028 and U+2029, which code page 932 cannot hold.
                out_ += L'.';
                return;
            case NodeKind::assertion:
                if (node.character == L'b' || node.character == L'B') out_ += L'\\';
                out_ += node.character;
                return;
        }
    }

    void writeReference(std::size_t engineGroup) {
        out_ += L'\\';
        out_ += std::to_wstring(engineGroup);
    }

    void writeClass(const Node& node) {
        if (node.items.empty()) {  // [] matches nothing, [^] anything
            out_ += node.negated ? L"[" : L"[^";
            writeClassName(out_, anyClassName);
            out_ += L']';
            return;
        }
        out_ += node.negated ? L"[^" : L"[";
        for (const ClassItem& item : node.items) writeClassItem(out_, item);
        out_ += L']';
    }

    const PatternTree& tree_;
    std::size_t longest_;
    const std::atomic<bool>* cancel_;
    std::uint64_t nodesWritten_ = 0;
    CheckedPattern checked_;
    WideText out_;  // becomes checked_.canonical
    std::size_t engineGroups_ = 0;
    std::vector<std::size_t> markerGroups_;  // the engine's group of each marker
};

}  // namespace

CheckedPattern printForEngine(const EnginePattern& rewritten, std::size_t longest, const std::atomic<bool>* cancel) {
    return Printer(rewritten, longest, cancel).run(rewritten);
}

}  // namespace tarnwick::pattern
