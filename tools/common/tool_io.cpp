#include "tool_io.h"

#include <cstdarg>

namespace tools {

std::string formatText(const char* format, std::va_list arguments) {
    std::va_list again;
    va_copy(again, arguments);
    const int length = std::vsnprintf(nullptr, 0, format, arguments);
    std::string text;
    if (length > 0) {
        text.resize(static_cast<std::size_t>(length) + 1);
        std::vsnprintf(&text[0], text.size(), format, again);
        text.pop_back();
    }
    va_end(again);
    return text;
}

void printText(std::FILE* stream, const char* format, ...) {
    std::va_list arguments;
    va_start(arguments, format);
    const std::string text = formatText(format, arguments);
    va_end(arguments);
    if (!text.empty()) writeText(stream, text);
}

std::filesystem::path pathFromUtf8(const std::string& path) { return std::filesystem::u8path(path); }

std::string utf8FromPath(const std::filesystem::path& path) { return path.u8string(); }

std::string inputProblem(const std::string& path) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(pathFromUtf8(path), error);
    if (status.type() == std::filesystem::file_type::not_found) return "not found";
    if (status.type() == std::filesystem::file_type::directory) return "is a directory";
    std::FILE* file = openFile(path, "rb");
    if (file == nullptr) return "cannot be read";
    std::fclose(file);
    return "";
}

std::string misnamedFileHint(const std::string& path, const std::string& where) {
    std::string portable = path;
    for (char& c : portable) {
        if (c == '\\') c = '/';
    }
    const std::filesystem::path wanted = pathFromUtf8(portable);
    const std::string extension = utf8FromPath(wanted.extension());
    if (extension.empty()) return "";
    const std::string name = utf8FromPath(wanted.filename());
    const std::string stem = utf8FromPath(wanted.stem());
    // The names, and how they came about.
    const struct {
        std::string name;
        std::string how;
    } misnamed[] = {
        {name + ".txt", "Notepad may have added .txt"},
        {stem + ".txt", "Notepad may have saved it as .txt"},
        {name + extension, "the name may end in " + extension + " twice where Windows hides the last"},
    };
    for (const auto& candidate : misnamed) {
        std::error_code error;
        if (std::filesystem::is_regular_file(wanted.parent_path() / pathFromUtf8(candidate.name), error)) {
            return "; there is " + candidate.name + " " + where + ": " + candidate.how + ", rename it to " + name;
        }
    }
    return "";
}

bool isHelpOption(const std::string& argument) {
    return argument == "--help" || argument == "-h" || argument == "/?";
}

bool isOption(const std::string& argument) {
    if (argument.size() > 1 && argument[0] == '-') return true;
    if (argument == "/?") return true;
#if defined(_WIN32)
    if (argument.size() > 1 && argument[0] == '/') {
        return argument.find_first_of("/\\.:", 1) == std::string::npos;
    }
#endif
    return false;
}

std::string counted(long count, const char* singular, const char* plural) {
    return std::to_string(count) + " " + (count == 1 ? singular : plural);
}

}  // namespace tools
