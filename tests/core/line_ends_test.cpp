#include "line_ends.h"

#include <gtest/gtest.h>

#include <ostream>

#include <string>

namespace tarnwick {
namespace {

struct LineEndCase {
    std::string lf;
    std::string crlf;
};
// ctest and failures name the case, not its bytes.
void PrintTo(const LineEndCase& c, std::ostream* os) { for (char ch : c.lf) *os << (ch == '\n' ? std::string("\\n") : std::string(1, ch)); }

class LineEnds : public testing::TestWithParam<LineEndCase> {};

TEST_P(LineEnds, LfAndCrLfTurnIntoEachOther) {
    EXPECT_EQ(toCrLf(GetParam().lf), GetParam().crlf);
    EXPECT_EQ(fromCrLf(GetParam().crlf), GetParam().lf);
}

INSTANTIATE_TEST_SUITE_P(Text, LineEnds,
                         testing::Values(LineEndCase{"", ""}, LineEndCase{"\n", "\r\n"},
                                         LineEndCase{"a\nb\n", "a\r\nb\r\n"}, LineEndCase{"\n\n", "\r\n\r\n"},
                                         LineEndCase{"a\rb", "a\rb"}, LineEndCase{"東\n京", "東\r\n京"}));

TEST(LineEnds, ExistingCrLfIsNotDoubled) {
    EXPECT_EQ(toCrLf("a\r\nb\nc"), "a\r\nb\r\nc");
    EXPECT_EQ(fromCrLf("a\r\r\nb"), "a\r\nb");
}

}  // namespace
}  // namespace tarnwick
