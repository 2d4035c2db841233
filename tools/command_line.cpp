#include "command_line.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>
#include <new>

namespace tarnwick::tools {
namespace {

// CLI11 checks required arguments before unknown ones; an unknown option is
// the better thing to name ("-x" rather than "EXPRESSION is required").
std::string parseMessage(const CLI::App& app, const CLI::ParseError& e) {
    const auto extras = app.remaining();
    if (dynamic_cast<const CLI::RequiredError*>(&e) != nullptr && !extras.empty()) {
        return "The following argument was not expected: " + extras.front();
    }
    return e.what();
}

// Standard output fails late: a full disk or a closed stream shows only at the flush.
bool outputWritten() {
    std::cout.flush();
    const bool ok = std::cout.good() && std::fflush(stdout) == 0 && !std::ferror(stdout);
    return ok;
}

std::optional<std::string> readAll(std::FILE* file) {
    std::string bytes;
    char buffer[1 << 16];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, n);
    if (std::ferror(file)) return std::nullopt;
    return bytes;
}

}  // namespace

int runTool(CLI::App& app, int argc, char** argv, const std::function<int()>& body, int usageStatus,
            int failureStatus) {
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForVersion& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        std::cerr << app.get_name() << ": " << parseMessage(app, e) << " (see --help)\n";
        return usageStatus;
    }
    int status = usageStatus;
    try {
        status = body();
    } catch (const std::bad_alloc& e) {
        // A huge text under a tight memory limit: said, not aborted.
        std::cerr << app.get_name() << ": out of memory evaluating this text (" << e.what() << ")\n";
        return failureStatus;
    } catch (const std::exception& e) {
        std::cerr << app.get_name() << ": " << e.what() << '\n';
        return failureStatus;
    }
    if (!outputWritten()) {
        std::cerr << app.get_name() << ": cannot write standard output: " << std::strerror(errno) << '\n';
        return usageStatus;
    }
    return status;
}

std::optional<std::string> readInput(const std::string& program, const std::string& path) {
    const std::string name = path.empty() ? "standard input" : path;
    errno = 0;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(path.empty() ? nullptr : std::fopen(path.c_str(), "rb"),
                                                          &std::fclose);
    if (!path.empty() && !file) {
        std::cerr << program << ": cannot read " << name << ": " << std::strerror(errno) << '\n';
        return std::nullopt;
    }
    auto bytes = readAll(path.empty() ? stdin : file.get());
    if (!bytes) std::cerr << program << ": cannot read " << name << ": " << std::strerror(errno) << '\n';
    return bytes;
}

void writeOutput(const std::string& bytes) { std::cout.write(bytes.data(), static_cast<std::streamsize>(bytes.size())); }

}  // namespace tarnwick::tools
