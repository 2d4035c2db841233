#include "text_join.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "line_ends.h"
#include "regex_service.h"
#include "text_conversion.h"

namespace tarnwick {
namespace {

TEST(Join, JoiningKeepsJapaneseIntact) {
    // 0x0D and 0x0A are never trail bytes, so joining cannot split a character.
    const NarrowText text = "\x93\x8C\r\n\x8B\x9E";
    EXPECT_EQ(joinLines(text), "\x93\x8C\x8B\x9E");
}

// The byte loop must remove exactly the pairs the engine's replace removes.
TEST(Join, JoiningEqualsTheEnginesReplaceOnRandomTexts) {
    const std::vector<std::string> pieces = {"\r", "\n", "\r\n", "\r\r\n\n", "a", "\x82\xA0", "\x8A\xBF", "\xB1", " "};
    std::mt19937 random(42);
    std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
    for (int i = 0; i < 500; ++i) {
        NarrowText text;
        for (int n = static_cast<int>(random() % 40); n > 0; --n) text += pieces[pick(random)];
        EXPECT_EQ(joinLines(text), regexReplace("\r\n", "", text)) << i;
    }
}

// A lone LF of a user's text is joined as the CR LF the window makes of it.
TEST(Join, UserLinesJoinAsTheirCrLfFormDoes) {
    const std::vector<std::string> pieces = {"\r", "\n", "\r\n", "\r\r\n\n", "a", "\x82\xA0", "\x8A\xBF", "\xB1"};
    std::mt19937 random(7);
    std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
    for (int i = 0; i < 500; ++i) {
        NarrowText text;
        for (int n = static_cast<int>(random() % 40); n > 0; --n) text += pieces[pick(random)];
        EXPECT_EQ(joinUserLines(text).text, joinLines(toCrLf(text))) << i;
    }
}

// The wide text with its line breaks taken out as the byte loop takes them:
// CR LF pairs from the left, and with `loneLineFeeds` every other LF too.
WideText withoutBreaks(const WideText& text, bool loneLineFeeds) {
    WideText out;
    std::size_t from = 0;
    for (std::size_t lf = text.find(L'\n'); lf != WideText::npos; lf = text.find(L'\n', lf + 1)) {
        const bool pair = lf > from && text[lf - 1] == L'\r';
        if (!pair && !loneLineFeeds) continue;
        out.append(text, from, (pair ? lf - 1 : lf) - from);
        from = lf + 1;
    }
    return out.append(text, from);
}

// Removing a break never changes how the characters around it convert, even
// in a text that is not well formed: a lead byte cut short by a break stays a
// character of its own instead of pairing with the next line's first byte.
TEST(Join, JoinedTextConvertsAsTheTextWithoutItsBreaks) {
    std::vector<NarrowText> texts = {"u||''|\x82\r\n|\xEA\xEA\xEA\xEA\xEA\xEA\x83", "\x82\r\n\r\n\x40", "\x82\n\x82\n\x40"};
    const std::vector<std::string> pieces = {"\r", "\n", "\r\n", "\x82\r\n", "\xE0\n", "\x81", "\xFC", "\x40", "|",
                                             "\x80", "\xA0", "\xFD", "\x7F", "a", "\x93\x8C"};
    std::mt19937 random(20);
    std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
    std::uniform_int_distribution<int> anyByte(1, 255);  // no zero byte: it ends the text
    for (int i = 0; i < 2000; ++i) {
        NarrowText text;
        for (int n = static_cast<int>(random() % 30); n > 0; --n) {
            if (random() % 3 == 0) text += static_cast<char>(anyByte(random));
            else text += pieces[pick(random)];
        }
        texts.push_back(text);
    }
    for (const NarrowText& text : texts) {
        EXPECT_EQ(toWideString(joinLineBreaks(text).text), withoutBreaks(toWideString(text), false)) << testing::PrintToString(text);
        EXPECT_EQ(toWideString(joinUserLines(text).text), withoutBreaks(toWideString(text), true)) << testing::PrintToString(text);
    }
}

TEST(Join, PositionsGoBackToTheTextBeforeTheJoin) {
    struct Case {
        NarrowText text;
        bool userLines;
        GroupSpan joined;
        GroupSpan before;
    };
    for (const Case& c : std::vector<Case>{
             {"ab\r\ncd", false, {1, 3}, {1, 5}},    // across a CR LF: it spans it
             {"ab\ncd", true, {1, 3}, {1, 4}},        // a lone LF is one character
             {"ab\ncd", false, {1, 3}, {1, 3}},       // ... and not a break of the window's text
             {"ab\ncd", true, {2, 2}, {3, 3}},        // empty at a break: after it
             {"ab\ncd", true, {0, 2}, {0, 2}},        // ending at a break: before it
             {"a\r\nb\nc", true, {0, 3}, {0, 6}},
             {"a\r\nb\nc", true, {2, 3}, {5, 6}},
             {"\x93\x8C\n\x8B\x9E", true, {1, 2}, {2, 3}},  // characters, not bytes
             {"\r\n\r\nx", false, {0, 1}, {4, 5}},
             {"x", true, {0, 1}, {0, 1}},
         }) {
        const JoinedText joined = c.userLines ? joinUserLines(c.text) : joinLineBreaks(c.text);
        EXPECT_EQ(spanBeforeJoin(joined, c.joined), c.before) << c.text << " " << c.joined.start;
    }
}

}  // namespace
}  // namespace tarnwick
