#include "command_line.h"

#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

namespace tarnwick::tools {

int runTool(CLI::App& app, int argc, char** argv, const std::function<int()>& body, int usageStatus) {
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForVersion& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        std::cerr << app.get_name() << ": " << e.what() << " (see --help)\n";
        return usageStatus;
    }
    return body();
}

std::optional<std::string> readInput(const std::string& path) {
    std::ostringstream bytes;
    if (path.empty()) {
        bytes << std::cin.rdbuf();
        if (std::cin.bad()) return std::nullopt;
        return bytes.str();
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    bytes << file.rdbuf();
    if (file.bad()) return std::nullopt;
    return bytes.str();
}

void writeOutput(const std::string& bytes) {
    std::cout.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    std::cout.flush();
}

}  // namespace tarnwick::tools
