// The tools' arguments, output and files on systems whose names are bytes.
#include <unistd.h>

#include <cstdlib>

#include "tool_io.h"

namespace tools {

std::vector<std::string> programArguments(int argc, char** argv) {
    std::vector<std::string> arguments;
    for (int index = 1; index < argc; ++index) arguments.emplace_back(argv[index]);
    return arguments;
}

std::string programPath() {
    char path[4096];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    return length > 0 ? std::string(path, static_cast<std::size_t>(length)) : std::string();
}

std::string environmentText(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

void setUpOutput() {}

bool ownConsoleWindow() { return false; }

void writeText(std::FILE* stream, const std::string& text) { std::fwrite(text.data(), 1, text.size(), stream); }

std::FILE* openFile(const std::string& path, const char* mode) { return std::fopen(path.c_str(), mode); }

void waitForKey() {
    int c = 0;
    while ((c = std::getchar()) != EOF && c != '\n') {
    }
}

}  // namespace tools
