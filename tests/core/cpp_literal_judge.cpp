// The compiler is the judge of toCppLiteral: the literals of a few hundred
// expressions go into a C++ file, a compiler builds it, and the program it
// makes prints each literal's code units, which must be the expression's.
// Usage: cpp_literal_judge WORK_DIR COMPILER [RUNNER]
//   e.g. cpp_literal_judge /tmp/j g++   or   cpp_literal_judge /tmp/j x86_64-w64-mingw32-g++ wine

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "cpp_literal.h"
#include "cpp_literal_cases.h"

namespace {

int run(const std::string& command) {
    std::cout << "$ " << command << "\n" << std::flush;
    return std::system(command.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: cpp_literal_judge WORK_DIR COMPILER [RUNNER]\n";
        return 2;
    }
    const std::string dir = argv[1];
    const std::string compiler = argv[2];
    const std::string runner = argc > 3 ? std::string(argv[3]) + " " : "";
    const auto cases = tarnwick::testdata::cppLiteralCases(11, 300, 300);

    std::ofstream source(dir + "/literals.cpp");
    source << "#include <cstdio>\n#include <cwchar>\nconst wchar_t* const literals[] = {\n";
    for (const auto& expression : cases) source << "    " << tarnwick::toCppLiteral(expression) << ",\n";
    source << "};\nint main() {\n    for (const wchar_t* literal : literals) {\n"
              "        for (const wchar_t* c = literal; *c; ++c) std::printf(\"%X \", static_cast<unsigned>(*c));\n"
              "        std::printf(\"\\n\");\n    }\n}\n";
    source.close();
    // C++14 in ISO mode still reads trigraphs, so the literals must not hold one.
    const std::string program = dir + "/literals.exe";
    if (run(compiler + " -std=c++14 -pedantic-errors -Wall -Werror -static -o " + program + " " + dir + "/literals.cpp") != 0) {
        std::cout << "0 passed, 1 failed\n";
        return 1;
    }
    if (run(runner + program + " > " + dir + "/printed.txt") != 0) {
        std::cout << "0 passed, 1 failed\n";
        return 1;
    }
    std::ifstream printed(dir + "/printed.txt");
    int passed = 0;
    int failed = 0;
    std::string line;
    for (const auto& expression : cases) {
        std::getline(printed, line);
        if (!line.empty() && line.back() == '\r') line.pop_back();  // Wine's console line ends
        std::ostringstream want;
        for (wchar_t c : expression) want << std::hex << std::uppercase << static_cast<unsigned>(c) << ' ';
        if (line == want.str()) {
            ++passed;
        } else {
            ++failed;
            std::cout << "FAIL " << tarnwick::toCppLiteral(expression) << ": printed " << line << ", want " << want.str() << "\n";
        }
    }
    std::cout << passed << " passed, " << failed << " failed\n";
    return failed == 0 ? 0 : 1;
}
