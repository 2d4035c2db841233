#include "regexp_generator.h"

#include <array>
#include <string_view>

namespace tarnwick::differential {
namespace {

struct Atom {
    std::string_view spelling;
    std::string_view examples;  // characters it matches, for the sampler
};

constexpr std::array<Atom, 22> atoms{{
    {"a", "a"},      {"b", "b"},          {"c", "c"},       {"1", "1"},         {" ", " "},
    {"\\n", "\n"},   {"\\d", "1"},        {"\\D", "ab "},   {"\\w", "ab1"},     {"\\W", " \n"},
    {"\\s", " \n"},  {"\\S", "ab1"},      {".", "ab1 "},    {"[ab]", "ab"},     {"[^a]", "b1 \n"},
    {"[a-c]", "abc"}, {"[\\d ]", "1 "},   {"[^\\w]", " \n"}, {"\\x61", "a"},     {"\\u0062", "b"},
    {"[b-c1]", "bc1"}, {"[^]", "ab1 \n"},
}};

constexpr std::array<std::string_view, 4> assertions{"^", "$", "\\b", "\\B"};
constexpr std::string_view alphabet = "abc1 \n";
constexpr std::size_t maxTextLength = 12;

// Whether the node can take a quantifier as it is written.
bool isAtomic(const RegexpNode& n) {
    using K = RegexpNode::Kind;
    return n.kind == K::atom || n.kind == K::group;
}

std::string quantifier(const RegexpNode& n) {
    std::string q;
    if (n.min == 0 && n.max == -1) q = "*";
    else if (n.min == 1 && n.max == -1) q = "+";
    else if (n.min == 0 && n.max == 1) q = "?";
    else {
        // Appended, not `"{" + std::to_string(…)`: GCC 12 at -O3 warns falsely (-Wrestrict) inside that operator+.
        q = "{";
        q += std::to_string(n.min);
        if (n.max != n.min) q += ",";
        if (n.max != n.min && n.max != -1) q += std::to_string(n.max);
        q += "}";
    }
    if (n.lazy) q += "?";
    return q;
}

RegexpNode sequenceOfNothing() {
    RegexpNode n;
    n.kind = RegexpNode::Kind::sequence;
    return n;
}

}  // namespace

std::string render(const RegexpNode& n) {
    using K = RegexpNode::Kind;
    std::string out;
    switch (n.kind) {
        case K::atom: return std::string(atoms[static_cast<std::size_t>(n.atom)].spelling);
        case K::assertion: return std::string(assertions[static_cast<std::size_t>(n.atom)]);
        // In a group, so that a digit after it cannot become part of its number.
        case K::backReference:
            out = "(?:\\";
            out += std::to_string(n.number);
            return out + ")";
        case K::sequence:
            for (const RegexpNode& child : n.children) out += render(child);
            return out;
        case K::alternation:
            for (std::size_t i = 0; i < n.children.size(); ++i) {
                if (i) out += "|";
                out += render(n.children[i]);
            }
            return out;
        case K::group: return (n.capturing ? "(" : "(?:") + render(n.children[0]) + ")";
        case K::lookahead: return (n.negative ? "(?!" : "(?=") + render(n.children[0]) + ")";
        case K::repeat: {
            const RegexpNode& body = n.children[0];
            const std::string text = render(body);
            return (isAtomic(body) ? text : "(?:" + text + ")") + quantifier(n);
        }
    }
    return out;
}

RegexpNode RegexpGenerator::pattern() {
    groups_ = 0;
    closed_.clear();
    return node(0, false);
}

RegexpNode RegexpGenerator::node(int depth, bool inRepeat) {
    using K = RegexpNode::Kind;
    RegexpNode n;
    const int choice = depth >= 4 ? below(10) : below(22);
    if (choice < 6) {
        n.atom = below(static_cast<int>(atoms.size()));
    } else if (choice < 8) {
        n.kind = K::assertion;
        n.atom = below(static_cast<int>(assertions.size()));
    } else if (choice < 10) {
        if (closed_.empty()) {
            n.atom = below(static_cast<int>(atoms.size()));
        } else {
            n.kind = K::backReference;
            n.number = closed_[static_cast<std::size_t>(below(static_cast<int>(closed_.size())))];
        }
    } else if (choice < 13) {
        n.kind = K::sequence;
        for (int i = 2 + below(2); i > 0; --i) n.children.push_back(node(depth + 1, inRepeat));
    } else if (choice < 15) {
        n.kind = K::alternation;
        for (int i = 2 + below(2); i > 0; --i) {
            // An empty alternative now and then.
            n.children.push_back(below(6) == 0 ? sequenceOfNothing() : node(depth + 1, inRepeat));
        }
    } else if (choice < 18) {
        n.kind = K::group;
        n.capturing = !inRepeat && groups_ < 9 && below(3) != 0;
        if (n.capturing) n.number = ++groups_;
        n.children.push_back(node(depth + 1, inRepeat));
        if (n.capturing) closed_.push_back(n.number);
    } else if (choice < 19) {
        n.kind = K::lookahead;
        n.negative = below(2) == 0;
        n.children.push_back(node(depth + 1, inRepeat));
    } else {
        n.kind = K::repeat;
        static constexpr std::array<std::array<int, 2>, 8> bounds{
            {{0, -1}, {1, -1}, {0, 1}, {2, 2}, {0, 2}, {1, 3}, {2, -1}, {0, 0}}};
        const auto& b = bounds[static_cast<std::size_t>(below(static_cast<int>(bounds.size())))];
        n.min = b[0];
        n.max = b[1];
        n.lazy = below(4) == 0;
        n.children.push_back(node(depth + 1, true));
    }
    return n;
}

void RegexpGenerator::sample(const RegexpNode& n, std::string& out, std::vector<std::string>& captured) {
    using K = RegexpNode::Kind;
    switch (n.kind) {
        case K::atom: {
            const std::string_view examples = atoms[static_cast<std::size_t>(n.atom)].examples;
            out += examples[static_cast<std::size_t>(below(static_cast<int>(examples.size())))];
            return;
        }
        case K::assertion:
        case K::lookahead: return;
        case K::backReference:
            if (static_cast<std::size_t>(n.number) < captured.size()) out += captured[static_cast<std::size_t>(n.number)];
            return;
        case K::sequence:
            for (const RegexpNode& child : n.children) sample(child, out, captured);
            return;
        case K::alternation:
            if (!n.children.empty()) sample(n.children[static_cast<std::size_t>(below(static_cast<int>(n.children.size())))], out, captured);
            return;
        case K::group: {
            const std::size_t start = out.size();
            sample(n.children[0], out, captured);
            if (n.capturing) {
                captured.resize(std::max(captured.size(), static_cast<std::size_t>(n.number) + 1));
                captured[static_cast<std::size_t>(n.number)] = out.substr(start);
            }
            return;
        }
        case K::repeat: {
            int count = n.min + below(3);
            if (n.max >= 0 && count > n.max) count = n.max;
            for (int i = 0; i < count; ++i) sample(n.children[0], out, captured);
            return;
        }
    }
}

std::string RegexpGenerator::sampleText(const RegexpNode& pattern) {
    std::string out;
    std::vector<std::string> captured;
    sample(pattern, out, captured);
    // Short texts keep exponential backtracking, in either engine, small.
    return out.substr(0, maxTextLength);
}

std::string RegexpGenerator::randomText() {
    std::string out;
    for (int n = below(7); n > 0; --n) out += alphabet[static_cast<std::size_t>(below(static_cast<int>(alphabet.size())))];
    return out;
}

std::string RegexpGenerator::mutated(std::string text) {
    const char c = alphabet[static_cast<std::size_t>(below(static_cast<int>(alphabet.size())))];
    const auto at = static_cast<std::size_t>(below(static_cast<int>(text.size()) + 1));
    const int edit = text.empty() ? 0 : below(3);
    if (edit == 0 && text.size() < maxTextLength) text.insert(at, 1, c);
    else if (at < text.size() && edit == 1) text.erase(at, 1);
    else if (at < text.size()) text[at] = c;
    return text;
}

std::vector<RegexpNode> shrinkPattern(const RegexpNode& n) {
    using K = RegexpNode::Kind;
    std::vector<RegexpNode> smaller(n.children.begin(), n.children.end());  // the node becomes a child
    if ((n.kind == K::sequence || n.kind == K::alternation) && n.children.size() > 1) {
        for (std::size_t i = 0; i < n.children.size(); ++i) {
            RegexpNode copy = n;
            copy.children.erase(copy.children.begin() + static_cast<std::ptrdiff_t>(i));
            smaller.push_back(std::move(copy));
        }
    }
    if (n.kind == K::repeat && n.lazy) {
        RegexpNode copy = n;
        copy.lazy = false;
        smaller.push_back(std::move(copy));
    }
    for (std::size_t i = 0; i < n.children.size(); ++i) {
        for (RegexpNode& child : shrinkPattern(n.children[i])) {
            RegexpNode copy = n;
            copy.children[i] = std::move(child);
            smaller.push_back(std::move(copy));
        }
    }
    return smaller;
}

std::vector<std::string> shrinkText(const std::string& text) {
    std::vector<std::string> smaller;
    for (std::size_t i = 0; i < text.size(); ++i) smaller.push_back(text.substr(0, i) + text.substr(i + 1));
    return smaller;
}

}  // namespace tarnwick::differential
