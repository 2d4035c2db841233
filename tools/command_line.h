#pragma once
// What the command-line tools share: argument parsing with one exit status
// for bad usage and for input or output that fails, and reading a whole input.

#include <CLI/CLI.hpp>

#include <functional>
#include <optional>
#include <string>

namespace tarnwick::tools {

inline constexpr int usageExitStatus = 3;

// Parses the arguments and runs `body`. --help and --version print and end
// with 0; bad usage prints one line on standard error and ends with
// `usageStatus`, and so does a failed write or flush of standard output. An
// exception out of `body` (memory exhausted) prints one line and ends with
// `failureStatus`.
int runTool(CLI::App& app, int argc, char** argv, const std::function<int()>& body,
            int usageStatus = usageExitStatus, int failureStatus = usageExitStatus);

// The bytes of the file, or of standard input when `path` is empty. When it
// cannot be read (no such file, a directory, a read error, a closed stream)
// prints one line, starting with `program`, on standard error and gives no value.
std::optional<std::string> readInput(const std::string& program, const std::string& path);

// Writes bytes to standard output unchanged; runTool notices a failure.
void writeOutput(const std::string& bytes);

}  // namespace tarnwick::tools
