// tarnwick-check: evaluates an expression against a text exactly as the
// window does and prints the Result text.

#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "command_line.h"
#include "cpp_literal.h"
#include "cpp_snippet.h"
#include "growth_analysis.h"
#include "growth_output.h"
#include "json_result.h"
#include "result_compose.h"
#include "text_conversion.h"
#include "version.h"

namespace {

enum ExitStatus { groupsListed = 0, emptyResult = 1, invalidExpression = 2, superLinearGrowth = 4 };

// The expression as an editor saves it: one trailing line break is not part of it.
std::optional<std::string> readExpressionFile(const std::string& path) {
    auto expression = tarnwick::tools::readInput("tarnwick-check", path);
    if (!expression) return std::nullopt;
    if (expression->ends_with("\r\n")) {
        expression->resize(expression->size() - 2);
    } else if (expression->ends_with('\n')) {
        expression->pop_back();
    }
    return expression;
}

// --analyse: the expression alone.
int analyseExpression(std::string expression, const std::string& path, bool cp932, bool fromCpp, bool json) {
    if (!path.empty()) {
        std::cerr << "tarnwick-check: --analyse reads no text; give only the EXPRESSION (see --help)\n";
        return tarnwick::tools::usageExitStatus;
    }
    if (!cp932) expression = tarnwick::utf8ToCodePage932(expression);
    tarnwick::WideText pattern = tarnwick::toWideString(expression);
    if (fromCpp) {
        auto read = tarnwick::fromCppLiteral(pattern);
        if (!read.text) {
            std::cerr << "tarnwick-check: " << read.reason << '\n';
            return tarnwick::tools::usageExitStatus;
        }
        pattern = std::move(*read.text);
    }
    try {
        const tarnwick::GrowthAnalysis analysis = tarnwick::analyseGrowth(pattern);
        tarnwick::tools::writeOutput(json ? tarnwick::tools::growthJson(analysis, cp932)
                                          : tarnwick::tools::growthText(analysis, pattern));
        return static_cast<int>(analysis.whole.superLinear() ? superLinearGrowth : groupsListed);
    } catch (const tarnwick::RegexError& e) {
        tarnwick::MatchOutcome invalid;
        invalid.status = tarnwick::MatchStatus::invalid;
        invalid.error = e.code();
        invalid.errorPosition = e.position();
        invalid.reason = e.reason();
        std::cerr << "tarnwick-check: " << tarnwick::explainOutcome(invalid) << '\n';
        return static_cast<int>(invalidExpression);
    }
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Evaluates EXPRESSION against the text of FILE (standard input when absent) as the Tarnwick "
                 "window does, and writes the Result text (CR LF line ends).",
                 "tarnwick-check"};
    std::string expression;
    std::string expressionFile;
    std::string path;
    bool cp932 = false;
    bool raw = false;
    bool explain = false;
    bool json = false;
    bool cpp = false;
    bool fromCpp = false;
    bool analyse = false;
    auto* expressionOption = app.add_option("EXPRESSION", expression, "The regular expression (ECMAScript grammar)");
    app.add_option("-e,--expression-file", expressionFile,
                   "Read the expression from this file (one trailing line break is dropped), for expressions longer "
                   "than a command line takes; FILE is then the only argument");
    app.add_flag("--json", json,
                 "Print one JSON object instead of the Result text: status, code, position and reason of an "
                 "invalid expression, each group's text and span, and the match's steps and ms (see the README)");
    app.add_flag("--explain", explain,
                 "Also say on standard error, in one sentence, why the Result is what it is (where an expression "
                 "is invalid, and why) and what the match cost (its time and the engine's steps)");
    auto* cppFlag = app.add_flag("--cpp", cpp,
                 "Print, instead of the Result, a C++ program that compiles as it stands: the expression and the "
                 "text as wide string literals, std::wregex with the ECMAScript grammar and std::regex_match, with "
                 "the Result it gives here in a comment");
    app.add_flag("--from-cpp", fromCpp,
                 "Read EXPRESSION (or the expression file) as a C++ string literal, as copied out of a program's "
                 "source: L\"\\\\d+\" gives \\d+");
    cppFlag->excludes(app.get_option("--json"));
    app.add_flag("--analyse", analyse,
                 "Read no text; say how the engine's work on the expression grows with the text, for a whole-text "
                 "match and for a search: linear, polynomial or exponential, with an attack text (prefix, pump "
                 "repeated n times, suffix), where in the expression it lies and the steps measured at each size")
        ->excludes(cppFlag);
    app.add_option("FILE", path, "The text; standard input when absent");
    app.add_flag("--cp932", cp932, "Take and give raw code page 932 bytes instead of UTF-8");
    app.add_flag("--raw", raw, "Pass the text's bytes unchanged instead of making each line break CR LF");
    app.set_version_flag("--version", tarnwick::versionNumber);
    app.footer("Exit status: 0 groups listed, 1 no match, 2 invalid expression, stopped match or a text too large "
               "for the memory, 3 bad usage or unreadable input or unwritable output. With --analyse: 0 the "
               "whole-text match grows linearly, 4 it grows super-linearly (polynomially or exponentially), 2 "
               "invalid expression.");

    return tarnwick::tools::runTool(app, argc, argv, [&] {
        if (!expressionFile.empty()) {
            // With --expression-file the one argument is the text's file.
            if (!path.empty()) {
                std::cerr << "tarnwick-check: with --expression-file give only the text's FILE (see --help)\n";
                return tarnwick::tools::usageExitStatus;
            }
            path = expression;
            auto read = readExpressionFile(expressionFile);
            if (!read) return tarnwick::tools::usageExitStatus;
            expression = std::move(*read);
        } else if (expressionOption->count() == 0) {
            std::cerr << "tarnwick-check: EXPRESSION or --expression-file is required (see --help)\n";
            return tarnwick::tools::usageExitStatus;
        }
        if (analyse) return analyseExpression(expression, path, cp932, fromCpp, json);
        auto input = tarnwick::tools::readInput("tarnwick-check", path);
        if (!input) return tarnwick::tools::usageExitStatus;
        // The window's text never holds a zero byte, and the conversion ends there.
        if (const auto zero = input->find('\0'); zero != std::string::npos) {
            std::cerr << "tarnwick-check: the text holds a zero byte at offset " << zero << "; it ends there\n";
        }
        std::string text = cp932 ? std::move(*input) : tarnwick::utf8ToCodePage932(*input);
        if (!cp932) expression = tarnwick::utf8ToCodePage932(expression);
        if (fromCpp) {
            const auto read = tarnwick::fromCppLiteral(tarnwick::toWideString(expression));
            if (!read.text) {
                std::cerr << "tarnwick-check: " << read.reason << '\n';
                return tarnwick::tools::usageExitStatus;
            }
            expression = tarnwick::toNarrowString(*read.text);
        }
        // Each line break counts as the user wrote it; without --raw a lone LF is one the window would make CR LF.
        auto joined = std::make_shared<const tarnwick::JoinedText>(raw ? tarnwick::joinLineBreaks(text)
                                                                        : tarnwick::joinUserLines(text));
        const std::shared_ptr<const tarnwick::JoinedText> matched = joined;  // for --cpp, without a copy of the text
        if (json || cpp) std::cout.setstate(std::ios::badbit);  // the report line is in the object or the snippet instead
        auto composed = tarnwick::composeJoined(expression, std::move(joined),
                                                explain || json ? tarnwick::NoMatchHint::search : tarnwick::NoMatchHint::none);
        std::cout.clear();
        if (json) tarnwick::tools::writeOutput(tarnwick::tools::jsonResult(composed ? &*composed : nullptr, cp932));
        if (cpp) {
            tarnwick::tools::writeOutput(tarnwick::tools::cppSnippet(tarnwick::toWideString(expression),
                                                                     tarnwick::toWideString(matched->text),
                                                                     composed ? &*composed : nullptr));
        }
        if (!composed) return static_cast<int>(emptyResult);
        if (!json && !cpp) tarnwick::tools::writeOutput(cp932 ? composed->text : tarnwick::codePage932ToUtf8(composed->text));
        if (explain) std::cerr << "tarnwick-check: " << tarnwick::explainWithCost(composed->outcome) << '\n';
        switch (composed->outcome.status) {
            case tarnwick::MatchStatus::matched: return static_cast<int>(groupsListed);
            case tarnwick::MatchStatus::noMatch: return static_cast<int>(emptyResult);
            case tarnwick::MatchStatus::invalid:
            case tarnwick::MatchStatus::stopped: return static_cast<int>(invalidExpression);
        }
        return static_cast<int>(emptyResult);
    }, tarnwick::tools::usageExitStatus, static_cast<int>(invalidExpression));
}
