#include "edit_history.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarnwick::app {
namespace {

// The characters of a UTF-8 text, one string each.
std::vector<std::string> characters(const std::string& utf8) {
    std::vector<std::string> out;
    for (char c : utf8) {
        if ((static_cast<unsigned char>(c) & 0xC0) == 0x80) out.back() += c;
        else out.emplace_back(1, c);
    }
    return out;
}

// A text box in memory that reports every edit, by character position.
struct Box {
    std::vector<std::string> text;
    EditHistory history;

    std::string str() const {
        std::string out;
        for (const std::string& c : text) out += c;
        return out;
    }
    void insert(std::size_t at, const std::string& utf8) {
        history.recordInsertion(at, utf8);
        const auto added = characters(utf8);
        text.insert(text.begin() + static_cast<std::ptrdiff_t>(at), added.begin(), added.end());
    }
    void erase(std::size_t at, std::size_t count) {
        std::string gone;
        for (std::size_t i = at; i < at + count; ++i) gone += text[i];
        history.recordErasure(at, gone);
        text.erase(text.begin() + static_cast<std::ptrdiff_t>(at), text.begin() + static_cast<std::ptrdiff_t>(at + count));
    }
    void type(const std::string& utf8) {  // one key per character
        for (const std::string& c : characters(utf8)) insert(text.size(), c);
    }
    void backspace() { erase(text.size() - 1, 1); }
    void apply(const std::vector<TextEdit>& edits) {
        for (const TextEdit& e : edits) {
            const auto at = text.begin() + static_cast<std::ptrdiff_t>(e.position);
            text.erase(at, at + static_cast<std::ptrdiff_t>(characterCount(e.erased)));
            const auto added = characters(e.inserted);
            text.insert(text.begin() + static_cast<std::ptrdiff_t>(e.position), added.begin(), added.end());
        }
    }
    bool undo() {
        auto edits = history.undo();
        if (edits) apply(*edits);
        return edits.has_value();
    }
    bool redo() {
        auto edits = history.redo();
        if (edits) apply(*edits);
        return edits.has_value();
    }
};

TEST(EditHistory, TypingUndoesAWordAtATime) {
    Box box;
    box.type("abc def");
    struct Step {
        bool (Box::*action)();
        bool done;
        const char* text;
    };
    for (const Step& step : {Step{&Box::undo, true, "abc"}, Step{&Box::undo, true, ""}, Step{&Box::undo, false, ""},
                             Step{&Box::redo, true, "abc"}, Step{&Box::redo, true, "abc def"},
                             Step{&Box::redo, false, "abc def"}}) {
        EXPECT_EQ((box.*step.action)(), step.done);
        EXPECT_EQ(box.str(), step.text);
    }
}

TEST(EditHistory, StepsAsUsersExpectThem) {
    struct Case {
        const char* name;
        void (*edit)(Box&);
        const char* afterOneUndo;
    };
    for (const Case& c : std::vector<Case>{
             {"paste is a step", [](Box& b) { b.type("ab"); b.insert(2, "東京\n都"); }, "ab"},
             {"typing after a paste", [](Box& b) { b.insert(0, "東京"); b.type("xy"); }, "東京"},
             {"selection and what replaced it", [](Box& b) { b.insert(0, "abc"); b.erase(0, 3); b.type("zy"); }, "abc"},
             {"backspaces in a row", [](Box& b) { b.insert(0, "abcd"); b.backspace(); b.backspace(); }, "abcd"},
             {"typing, then backspace", [](Box& b) { b.type("abc"); b.backspace(); }, "abc"},
             {"typing elsewhere", [](Box& b) { b.type("ab"); b.insert(0, "x"); }, "ab"},
             {"Japanese words", [](Box& b) { b.type("東京\u3000都"); }, "東京"},
             {"typing after the focus left", [](Box& b) { b.type("a"); b.history.closeStep(); b.type("b"); }, "a"},
         }) {
        Box box;
        c.edit(box);
        box.undo();
        EXPECT_EQ(box.str(), c.afterOneUndo) << c.name;
    }
}

TEST(EditHistory, AnEditAfterUndoEndsRedo) {
    Box box;
    box.type("ab cd");
    box.undo();
    box.type("e");
    EXPECT_FALSE(box.redo());
    EXPECT_EQ(box.str(), "abe");
}

TEST(EditHistory, CharactersAreCountedNotBytes) {
    EXPECT_EQ(characterCount(""), 0u);
    EXPECT_EQ(characterCount("a東\u3000😀"), 4u);
}

}  // namespace
}  // namespace tarnwick::app
