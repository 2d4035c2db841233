// The resources of the built tarnwick.exe, read back from the file: the dialog
// template, the menu, the icon and the manifest. Usage: resources_test TARNWICK.EXE

#include <windows.h>

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char* exePath = nullptr;

// One resource of the executable as bytes.
std::vector<std::uint8_t> resource(LPCSTR name, LPCSTR type) {
    HMODULE module = LoadLibraryExA(exePath, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (module == nullptr) return {};
    std::vector<std::uint8_t> bytes;
    if (HRSRC found = FindResourceA(module, name, type)) {
        const auto* data = static_cast<const std::uint8_t*>(LockResource(LoadResource(module, found)));
        bytes.assign(data, data + SizeofResource(module, found));
    }
    FreeLibrary(module);
    return bytes;
}

// Reads the little-endian fields of a template in order.
class Reader {
public:
    explicit Reader(const std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}
    std::uint32_t word() { return take(2); }
    std::uint32_t dword() { return take(4); }
    std::int16_t coordinate() { return static_cast<std::int16_t>(take(2)); }
    std::uint32_t byte() { return take(1); }
    std::string text() {  // a zero-ended UTF-16 string, ASCII here
        std::string s;
        while (std::uint32_t c = word()) s += static_cast<char>(c);
        return s;
    }
    // A name or an ordinal: 0 none, 0xFFFF then a number, else a string.
    std::string nameOrOrdinal() {
        const std::uint32_t first = word();
        if (first == 0) return "";
        if (first == 0xFFFF) return "#" + std::to_string(word());
        std::string s(1, static_cast<char>(first));
        return s + text();
    }
    void alignToDword() { at_ = (at_ + 3) & ~std::size_t{3}; }

private:
    std::uint32_t take(std::size_t n) {
        std::uint32_t v = 0;
        for (std::size_t i = 0; i < n && at_ < bytes_.size(); ++i) v |= std::uint32_t{bytes_[at_++]} << (8 * i);
        return v;
    }
    const std::vector<std::uint8_t>& bytes_;
    std::size_t at_ = 0;
};

struct Control {
    std::uint32_t id;
    std::string windowClass;
    std::string text;
    std::uint32_t style;
    int x, y, cx, cy;
    bool operator==(const Control&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Control& c) {
    return out << c.id << ' ' << c.windowClass << " \"" << c.text << "\" style 0x" << std::hex << c.style << std::dec
               << " at " << c.x << ',' << c.y << ' ' << c.cx << 'x' << c.cy;
}

// A class by name or by the system's atom for it, as resource compilers write either.
std::string className(const std::string& stored) {
    if (stored == "#129") return "edit";
    if (stored == "#130") return "static";
    std::string lower;
    for (char c : stored) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

constexpr std::uint32_t child = WS_CHILD | WS_VISIBLE;
constexpr std::uint32_t staticId = 0xFFFFFFFF;  // "none": -1, widened to 32 bits by the extended template

TEST(DialogTemplate, IsTheDesignedOne) {
    const auto bytes = resource(MAKEINTRESOURCEA(112), MAKEINTRESOURCEA(5) /* RT_DIALOG */);
    ASSERT_FALSE(bytes.empty());
    Reader r(bytes);
    EXPECT_EQ(r.word(), 1U);       // dlgVer: an extended template
    EXPECT_EQ(r.word(), 0xFFFFU);  // its signature
    r.dword();                     // help id
    EXPECT_EQ(r.dword(), static_cast<std::uint32_t>(WS_EX_APPWINDOW));
    EXPECT_EQ(r.dword(), 0x00C80AC8U);
    const std::uint32_t count = r.word();
    EXPECT_EQ(r.coordinate(), 0);
    EXPECT_EQ(r.coordinate(), 0);
    EXPECT_EQ(r.coordinate(), 232);
    EXPECT_EQ(r.coordinate(), 180);
    EXPECT_EQ(r.nameOrOrdinal(), "#114");  // menu
    EXPECT_EQ(r.nameOrOrdinal(), "");      // the standard dialog class
    EXPECT_EQ(r.text(), "Tarnwick");
    EXPECT_EQ(r.word(), 14U);  // points
    EXPECT_EQ(r.word(), 400U);
    EXPECT_EQ(r.byte(), 0U);  // not italic
    EXPECT_EQ(r.byte(), 1U);  // DEFAULT_CHARSET
    EXPECT_EQ(r.text(), "MS Shell Dlg");

    std::vector<Control> controls;
    for (std::uint32_t i = 0; i < count; ++i) {
        r.alignToDword();
        r.dword();  // help id
        EXPECT_EQ(r.dword(), 0U);  // extended style
        Control c{};
        c.style = r.dword();
        c.x = r.coordinate();
        c.y = r.coordinate();
        c.cx = r.coordinate();
        c.cy = r.coordinate();
        c.id = r.dword();
        c.windowClass = className(r.nameOrOrdinal());
        c.text = r.nameOrOrdinal();
        const std::uint32_t extra = r.word();
        for (std::uint32_t k = 0; k < extra; ++k) r.byte();
        controls.push_back(c);
    }
    const std::uint32_t multiLine = WS_BORDER | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL;
    const std::vector<Control> designed{
        {1024, "edit", "", child | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 7, 17, 218, 14},
        {staticId, "static", "Expression", child | WS_GROUP | SS_LEFT, 7, 8, 94, 8},
        {staticId, "static", "Text", child | WS_GROUP | SS_LEFT, 7, 34, 103, 8},
        {1029, "edit", "", child | multiLine | ES_WANTRETURN, 7, 95, 218, 78},
        {staticId, "static", "Result", child | WS_GROUP | SS_LEFT, 7, 84, 71, 8},
        {1028, "edit", "", child | multiLine, 7, 43, 218, 33},
    };
    EXPECT_EQ(controls, designed);
}

TEST(Menu, HasTheVersionCommandOnly) {
    const auto bytes = resource(MAKEINTRESOURCEA(114), MAKEINTRESOURCEA(4) /* RT_MENU */);
    ASSERT_FALSE(bytes.empty());
    Reader r(bytes);
    EXPECT_EQ(r.word(), 0U);  // a standard menu template
    EXPECT_EQ(r.word(), 0U);
    EXPECT_EQ(r.word(), static_cast<std::uint32_t>(MF_END));  // the last item, a command and not a pop-up
    EXPECT_EQ(r.word(), 40004U);
    EXPECT_EQ(r.text(), "Version");
}

TEST(Icon, IsOne32By32ImageOf24BitColour) {
    const auto bytes = resource(MAKEINTRESOURCEA(113), MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */);
    ASSERT_FALSE(bytes.empty());
    Reader r(bytes);
    r.word();
    EXPECT_EQ(r.word(), 1U);  // an icon
    ASSERT_EQ(r.word(), 1U);  // one image
    EXPECT_EQ(r.byte(), 32U);
    EXPECT_EQ(r.byte(), 32U);
    r.byte();
    r.byte();
    r.word();                  // planes
    EXPECT_EQ(r.word(), 24U);  // bits a pixel
}

TEST(Manifest, AsksForCommonControls6DpiAwarenessAndNoElevation) {
    const auto bytes = resource(MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24) /* RT_MANIFEST */);
    const std::string manifest(bytes.begin(), bytes.end());
    for (const char* part : {"name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"", "level=\"asInvoker\"",
                             ">true</dpiAware>"}) {
        EXPECT_NE(manifest.find(part), std::string::npos) << part;
    }
}

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (argc != 2) {
        std::fputs("usage: resources_test TARNWICK.EXE\n", stderr);
        return 2;
    }
    exePath = argv[1];
    return RUN_ALL_TESTS();
}
