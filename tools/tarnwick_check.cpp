// tarnwick-check: evaluates an expression against a text exactly as the
// window does and prints the Result text.

#include <iostream>
#include <string>

#include "command_line.h"
#include "line_ends.h"
#include "result_compose.h"
#include "text_conversion.h"
#include "version.h"

namespace {

enum ExitStatus { groupsListed = 0, emptyResult = 1, invalidExpression = 2 };

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Evaluates EXPRESSION against the text of FILE (standard input when absent) as the Tarnwick "
                 "window does, and writes the Result text (CR LF line ends).",
                 "tarnwick-check"};
    std::string expression;
    std::string path;
    bool cp932 = false;
    bool raw = false;
    app.add_option("EXPRESSION", expression, "The regular expression (ECMAScript grammar)")->required();
    app.add_option("FILE", path, "The text; standard input when absent");
    app.add_flag("--cp932", cp932, "Take and give raw code page 932 bytes instead of UTF-8");
    app.add_flag("--raw", raw, "Pass the text's bytes unchanged instead of making each line break CR LF");
    app.set_version_flag("--version", tarnwick::versionNumber);
    app.footer("Exit status: 0 groups listed, 1 no match, 2 invalid expression or stopped match, 3 bad usage or "
               "unreadable input or unwritable output.");

    return tarnwick::tools::runTool(app, argc, argv, [&] {
        auto input = tarnwick::tools::readInput("tarnwick-check", path);
        if (!input) return tarnwick::tools::usageExitStatus;
        // The window's text never holds a zero byte, and the conversion ends there.
        if (const auto zero = input->find('\0'); zero != std::string::npos) {
            std::cerr << "tarnwick-check: the text holds a zero byte at offset " << zero << "; it ends there\n";
        }
        std::string text = raw ? *input : tarnwick::toCrLf(*input);
        if (!cp932) {
            expression = tarnwick::utf8ToCodePage932(expression);
            text = tarnwick::utf8ToCodePage932(text);
        }
        auto composed = tarnwick::composeOutcome(expression, text);
        if (!composed) return static_cast<int>(emptyResult);
        tarnwick::tools::writeOutput(cp932 ? composed->text : tarnwick::codePage932ToUtf8(composed->text));
        switch (composed->outcome.status) {
            case tarnwick::MatchStatus::matched: return static_cast<int>(groupsListed);
            case tarnwick::MatchStatus::noMatch: return static_cast<int>(emptyResult);
            case tarnwick::MatchStatus::invalid:
            case tarnwick::MatchStatus::stopped: return static_cast<int>(invalidExpression);
        }
        return static_cast<int>(emptyResult);
    });
}
