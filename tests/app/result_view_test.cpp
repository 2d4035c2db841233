#include "result_view.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarnwick::app {
namespace {

TEST(ResultView, LongLinesAreCutWithAMarkerAndCopiedWhole) {
    const std::string longText(shownLineCharacters + 1'038'576, 'x');
    const std::string japanese = std::string(shownLineCharacters + 5, 'y') + "東京";  // cut among ASCII, hidden Japanese
    struct Case {
        std::string result;
        std::string shown;
        std::vector<GroupSpan> lines;  // each line of the Result (LF excluded), in the shown text
    };
    const std::size_t cut = shownLineCharacters;
    const std::string marker = "… 1,038,587 more characters";  // the rest of the line, "]" included
    // Appended, not `"[" + …substr(…)`: GCC 12 at -O3 warns falsely (-Wrestrict) inside that operator+.
    std::string crLfShown = "[";
    crLfShown.append(longText, 0, cut - 1);
    crLfShown += "… 1,038,578 more characters\r\nb\r\n";
    for (const Case& c : std::vector<Case>{
             {"group[0] [ab]\n", "group[0] [ab]\n", {{0, 13}}},
             {"group[0] [" + longText + "]\ngroup[1] [a]\n",
              "group[0] [" + longText.substr(0, cut - 10) + marker + "\ngroup[1] [a]\n",
              {{0, cut + 27}, {cut + 28, cut + 40}}},
             {japanese, japanese.substr(0, cut) + "… 7 more characters", {{0, cut + 19}}},
             // An edit control's CR LF: the CR is no hidden character, and stays before the LF.
             {"[" + longText + "]\r\nb\r\n", crLfShown,
              {{0, cut + 27}, {cut + 29, cut + 30}}},
         }) {
        const ShownResult shown = showResult(c.result);
        // Compared whole, not printed: a mebibyte on failure says nothing.
        EXPECT_TRUE(shown.text == c.shown) << shown.text.substr(shown.text.size() > 60 ? shown.text.size() - 60 : 0);
        // The whole shown text selected gives the whole Result back.
        EXPECT_TRUE(resultText(shown, c.result, {0, shown.text.size()}) == c.result);
        std::size_t lineStart = 0;
        std::size_t characters = 0;
        for (std::size_t i = 0; i < c.lines.size(); ++i) {
            const std::size_t lineEnd = c.result.find('\n', lineStart);
            const bool crLf = lineEnd != std::string::npos && lineEnd > lineStart && c.result[lineEnd - 1] == '\r';
            std::size_t length = 0;
            for (std::size_t b = lineStart; b < std::min(lineEnd, c.result.size()) - (crLf ? 1 : 0); ++b) {
                length += (static_cast<unsigned char>(c.result[b]) & 0xC0) != 0x80;
            }
            EXPECT_EQ(shownSpan(shown, {characters, characters + length}), c.lines[i]) << i;
            characters += length + (crLf ? 2 : 1);
            lineStart = lineEnd + 1;
        }
    }
}

TEST(ResultView, APartOfTheShownTextCopiesAsTheResultHasIt) {
    const std::string hidden(20, 'h');
    const std::string result = "ab" + std::string(shownLineCharacters - 2, 'x') + hidden + "\ncd\n";
    const ShownResult shown = showResult(result);
    struct Case {
        GroupSpan selected;
        std::string copied;
    };
    const std::size_t marker = shownLineCharacters;  // where the marker starts
    for (const Case& c : std::vector<Case>{
             {{0, 2}, "ab"},
             {{marker - 1, marker}, "x"},
             {{marker - 1, marker + 1}, "x" + hidden},  // a marker selected at all gives all it stands for
             {{marker + 3, marker + 23}, hidden + "\ncd"},
         }) {
        EXPECT_EQ(resultText(shown, result, c.selected), c.copied) << c.selected.start;
    }
}

}  // namespace
}  // namespace tarnwick::app
