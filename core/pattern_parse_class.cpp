// The bracket expression of the pattern grammar, [...], one function per rule,
// as part of the parse stage.

#include <cwctype>
#include <optional>

#include "char_class.h"
#include "pattern_reader.h"

namespace tarnwick::pattern {
namespace {

// The table's own spelling of a class name written in any case.
std::optional<std::wstring_view> knownClassName(const WideText& name) {
    WideText lower;
    for (wchar_t c : name) lower += static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    if (lower == wordClassNameInPatterns) return wordClassNameInPatterns;
    for (const auto& [known, cls] : classNames) {
        if (known == lower) return known;
    }
    return std::nullopt;
}

bool isSet(const ClassItem& item) { return item.kind != ClassItem::Kind::character; }

}  // namespace

// CharacterClass :: '[' '^'? ClassRanges ']'
NodeId PatternReader::parseCharacterClass(PatternTree& tree) {
    const NodeId set = tree.add(NodeKind::characterClass);
    tree[set].position = pos_;
    ++pos_;
    const bool negated = !atEnd() && peek() == L'^';
    tree[set].negated = negated;
    if (negated) ++pos_;
    std::vector<ClassItem>& items = tree[set].items;  // nothing is added to the tree while it is read
    if (!atEnd() && peek() == L']') {  // [] matches nothing, [^] anything
        ++pos_;
        return set;
    }
    for (;;) {
        if (atEnd()) fail(PatternError::brack);
        if (peek() == L']') {
            ++pos_;
            return set;
        }
        const std::size_t rangeStart = pos_;
        const ClassItem first = parseClassAtom();
        if (!(has(1) && peek() == L'-' && peek(1) != L']')) {
            items.push_back(first);
            continue;
        }
        ++pos_;
        const ClassItem last = parseClassAtom();
        if (isSet(first)) {  // not a range: the set, a '-' and the next atom
            items.insert(items.end(), {first, {ClassItem::Kind::character, L'-'}, last});
            continue;
        }
        if (isSet(last) || last.first < first.first) throw RegexError(PatternError::range, rangeStart);
        items.push_back({ClassItem::Kind::range, first.first, last.first});
    }
}

// ClassAtom :: '\' ClassEscape | '[:' name ':]' | '[=' c '=]' | '[.' c '.]' | any other character
ClassItem PatternReader::parseClassAtom() {
    const wchar_t c = peek();
    if (c == L'\\') return parseClassEscape();
    if (c == L'[' && has(1) && (peek(1) == L':' || peek(1) == L'=' || peek(1) == L'.')) return parseBracketName();
    ++pos_;
    return {ClassItem::Kind::character, c};
}

ClassItem PatternReader::parseClassEscape() {
    if (!has(1)) fail(PatternError::escape);
    ++pos_;
    const wchar_t c = peek();
    if (isDigit(c)) {
        if (parseDecimal() != 0) fail(PatternError::escape);
        return {ClassItem::Kind::character, L'\0'};
    }
    ++pos_;
    if (isClassEscape(c)) return {ClassItem::Kind::escape, c};
    return {ClassItem::Kind::character, c == L'b' ? L'\b' : characterEscape(c)};
}

// '[:' name ':]', '[=' c '=]' or '[.' c '.]' inside brackets.
ClassItem PatternReader::parseBracketName() {
    const wchar_t kind = peek(1);
    const std::size_t start = pos_ + 2;
    std::size_t end = start;
    while (end + 1 < p_.size() && !(p_[end] == kind && p_[end + 1] == L']')) ++end;
    const bool terminated = end + 1 < p_.size();
    const PatternError bad = kind == L':' ? PatternError::ctype : PatternError::collate;
    if (!terminated) fail(kind == L'=' ? PatternError::syntax : bad);
    const WideText name = p_.substr(start, end - start);
    if (kind == L':') {
        const auto known = knownClassName(name);
        if (!known) fail(PatternError::ctype);  // at the name's "[:"
        pos_ = end + 2;
        return {ClassItem::Kind::named, 0, 0, *known};
    }
    if (name.size() != 1) fail(PatternError::collate);
    pos_ = end + 2;
    // Characters compare by code unit, so an equivalence class holds its one character.
    return {kind == L'=' ? ClassItem::Kind::equivalence : ClassItem::Kind::character, name[0]};
}

}  // namespace tarnwick::pattern
