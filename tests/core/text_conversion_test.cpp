#include "text_conversion.h"

#include <gtest/gtest.h>

#include <ostream>

#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "cp932_table.h"

namespace tarnwick {
namespace {


std::string bytesOf(unsigned long code) {
    std::string s;
    if (code > 0xFF) s += static_cast<char>(code >> 8);
    s += static_cast<char>(code & 0xFF);
    return s;
}

using testdata::readPairs;

TEST(Cp932Table, EveryEntryDecodesToItsCharacter) {
    const auto table = readPairs("cp932.txt");
    ASSERT_EQ(table.size(), 7915u);
    int failures = 0;
    for (const auto& [bytes, unicode] : table) {
        if (bytes == 0) continue;  // the NUL byte ends the text
        const WideText wide = toWideString(bytesOf(bytes));
        if (wide != WideText(1, static_cast<wchar_t>(unicode)) && ++failures < 10) {
            ADD_FAILURE() << std::hex << "0x" << bytes << " gave " << (wide.empty() ? 0 : wide[0]);
        }
    }
    EXPECT_EQ(failures, 0);
}

TEST(Cp932Table, EveryCharacterEncodesToItsPreferredBytes) {
    std::map<unsigned long, unsigned long> preferred;  // unicode -> bytes
    for (const auto& [unicode, bytes] : readPairs("cp932-preferred.txt")) preferred[unicode] = bytes;
    ASSERT_EQ(preferred.size(), 396u);
    int failures = 0;
    for (const auto& [bytes, unicode] : readPairs("cp932.txt")) {
        if (unicode == 0) continue;
        const auto it = preferred.find(unicode);
        const std::string expected = bytesOf(it == preferred.end() ? bytes : it->second);
        const NarrowText narrow = toNarrowString(WideText(1, static_cast<wchar_t>(unicode)));
        if (narrow != expected && ++failures < 10) ADD_FAILURE() << std::hex << "U+" << unicode;
    }
    EXPECT_EQ(failures, 0);
}

struct ConversionCase {
    const char* name;
    NarrowText narrow;
    WideText wide;
};
// ctest and failures name the case, not its bytes.
void PrintTo(const ConversionCase& c, std::ostream* os) { *os << c.name; }

class RoundTrip : public testing::TestWithParam<ConversionCase> {};

TEST_P(RoundTrip, BothDirections) {
    EXPECT_EQ(toWideString(GetParam().narrow), GetParam().wide);
    EXPECT_EQ(toNarrowString(GetParam().wide), GetParam().narrow);
}

INSTANTIATE_TEST_SUITE_P(Conversion, RoundTrip,
                         testing::Values(ConversionCase{"empty", "", L""},
                                         ConversionCase{"ascii", "abc 123\r\n", L"abc 123\r\n"},
                                         ConversionCase{"hiragana", "\x82\xA0", L"\u3042"},
                                         ConversionCase{"halfwidthKatakana", "\xB1", L"\uFF71"},
                                         ConversionCase{"mixed", "a\x93\x8C\x8B\x9E" "b", L"a\u6771\u4EACb"},
                                         ConversionCase{"yenIsBackslash", "\\", L"\\"}),
                         [](const auto& info) { return std::string(info.param.name); });

struct OneWayCase {
    const char* name;
    NarrowText narrow;
    WideText wide;
};
// ctest and failures name the case, not its bytes.
void PrintTo(const OneWayCase& c, std::ostream* os) { *os << c.name; }

class Decoding : public testing::TestWithParam<OneWayCase> {};
TEST_P(Decoding, ToWide) { EXPECT_EQ(toWideString(GetParam().narrow), GetParam().wide); }

INSTANTIATE_TEST_SUITE_P(
    Conversion, Decoding,
    testing::Values(OneWayCase{"zeroCutsShort", std::string("ab\0cd", 5), L"ab"},
                    OneWayCase{"loneLeadByteAtEnd", "a\x82", L"a\uFFFD"},
                    OneWayCase{"invalidSingleByteGoesOn", "a\x80" "b\xA0" "c", L"a\uFFFDb\uFFFDc"},
                    OneWayCase{"unassignedPairIsOneCharacter", "\x85\x40z", L"\uFFFDz"},
                    OneWayCase{"leadByteBeforeNonTrail", "\x82\x0A" "b", L"\uFFFD\nb"}),
    [](const auto& info) { return std::string(info.param.name); });

class Encoding : public testing::TestWithParam<OneWayCase> {};
TEST_P(Encoding, ToNarrow) { EXPECT_EQ(toNarrowString(GetParam().wide), GetParam().narrow); }

INSTANTIATE_TEST_SUITE_P(
    Conversion, Encoding,
    testing::Values(OneWayCase{"zeroCutsShort", "ab", WideText(L"ab\0cd", 5)},
                    OneWayCase{"unrepresentableIsQuestionMark", "a?b?c", L"a\u00E9b\U0001F600c"},
                    OneWayCase{"replacementCharacter", "?", L"\uFFFD"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Utf8Bridge, ConvertsBothWaysAndMarksWhatCp932Lacks) {
    EXPECT_EQ(utf8ToCodePage932("\xE3\x81\x82" "a"), "\x82\xA0" "a");
    EXPECT_EQ(utf8ToCodePage932("\xC3\xA9"), "?");
    EXPECT_EQ(codePage932ToUtf8("\x82\xA0\r\n"), "\xE3\x81\x82\r\n");
    // Unlike toWideString, the bridge keeps zero bytes: it carries whole texts.
    EXPECT_EQ(codePage932ToUtf8(std::string("a\0b", 3)), std::string("a\0b", 3));
}

}  // namespace
}  // namespace tarnwick
