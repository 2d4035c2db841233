#include "result_view.h"

#include <algorithm>

#include "edit_history.h"
#include "number_text.h"

namespace tarnwick::app {
namespace {

bool startsCharacter(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) != 0x80; }

// The byte after `count` characters from `from`.
std::size_t afterCharacters(const std::string& text, std::size_t from, std::size_t count) {
    std::size_t at = from;
    for (; count > 0 && at < text.size(); --count) {
        do ++at;
        while (at < text.size() && !startsCharacter(text[at]));
    }
    return at;
}

}  // namespace

ShownResult showResult(const std::string& result, std::size_t lineCharacters) {
    ShownResult shown;
    std::size_t shownAt = 0;
    std::size_t characterAt = 0;
    std::size_t runStart = 0;  // the byte where the current run of shown characters began
    std::size_t runCharacters = 0;
    auto closeRun = [&](std::size_t byteEnd) {
        if (byteEnd == runStart) return;
        shown.text.append(result, runStart, byteEnd - runStart);
        shown.pieces.push_back({{shownAt, shownAt + runCharacters}, {characterAt, characterAt + runCharacters},
                                {runStart, byteEnd}, false});
        shownAt += runCharacters;
        characterAt += runCharacters;
        runCharacters = 0;
    };
    for (std::size_t lineStart = 0; lineStart < result.size();) {
        const std::size_t breakAt = std::min(result.find('\n', lineStart), result.size());
        // An edit control's line ends in CR LF: the CR stays shown after the marker.
        const std::size_t lineEnd = breakAt > lineStart && result[breakAt - 1] == '\r' ? breakAt - 1 : breakAt;
        const std::size_t cut = afterCharacters(result, lineStart, lineCharacters);
        if (cut < lineEnd) {
            runCharacters += characterCount(result.substr(lineStart, cut - lineStart));
            closeRun(cut);
            const std::size_t hidden = characterCount(result.substr(cut, lineEnd - cut));
            const std::string marker = "… " + withThousands(hidden) + " more characters";
            const std::size_t markerCharacters = characterCount(marker);
            shown.text += marker;
            shown.pieces.push_back({{shownAt, shownAt + markerCharacters}, {characterAt, characterAt + hidden},
                                    {cut, lineEnd}, true});
            shownAt += markerCharacters;
            characterAt += hidden;
            runStart = lineEnd;
        } else {
            runCharacters += characterCount(result.substr(lineStart, lineEnd - lineStart));
        }
        runCharacters += breakAt - lineEnd;              // the CR
        if (breakAt < result.size()) ++runCharacters;  // the line feed
        lineStart = breakAt + 1;
    }
    closeRun(result.size());
    return shown;
}

std::string resultText(const ShownResult& shown, const std::string& result, GroupSpan selected) {
    std::string text;
    for (const ShownResult::Piece& piece : shown.pieces) {
        const std::size_t from = std::max(selected.start, piece.shown.start);
        const std::size_t to = std::min(selected.end, piece.shown.end);
        if (from >= to) continue;
        if (piece.marker) {
            text.append(result, piece.bytes.start, piece.bytes.end - piece.bytes.start);
            continue;
        }
        const std::size_t first = afterCharacters(result, piece.bytes.start, from - piece.shown.start);
        const std::size_t last = afterCharacters(result, first, to - from);
        text.append(result, first, last - first);
    }
    return text;
}

GroupSpan shownSpan(const ShownResult& shown, GroupSpan span) {
    auto position = [&](std::size_t character) {
        for (const ShownResult::Piece& piece : shown.pieces) {
            if (character >= piece.characters.end) continue;
            if (piece.marker) return piece.shown.end;
            return piece.shown.start + (character - piece.characters.start);
        }
        return shown.pieces.empty() ? 0 : shown.pieces.back().shown.end;
    };
    return {position(span.start), position(span.end)};
}

}  // namespace tarnwick::app
