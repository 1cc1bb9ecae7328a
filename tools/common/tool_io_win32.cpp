// The tools' arguments, output and files on Windows, through the wide-character API.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include "tool_io.h"

// The C runtime's own splitting of the wide command line: the rules by which it makes the narrow
// argv, so that quotes and backslashes read as they always did. msvcrt exports it; no header
// declares it.
struct StartupInfo {
    int newMode;
};
extern "C" int __wgetmainargs(int* argc, wchar_t*** argv, wchar_t*** environment, int expandWildcards,
                              StartupInfo* startup);

namespace tools {
namespace {

std::string utf8FromWide(const wchar_t* wide, int length) {
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide, length, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0) WideCharToMultiByte(CP_UTF8, 0, wide, length, &text[0], bytes, nullptr, nullptr);
    return text;
}

std::wstring wideFromUtf8(const std::string& text) {
    const int length = static_cast<int>(text.size());
    const int units = MultiByteToWideChar(CP_UTF8, 0, text.data(), length, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(units > 0 ? units : 0), L'\0');
    if (units > 0) MultiByteToWideChar(CP_UTF8, 0, text.data(), length, &wide[0], units);
    return wide;
}

// The console behind `stream`, or null when it goes to a file or a pipe.
HANDLE consoleOf(std::FILE* stream) {
    const HANDLE handle = GetStdHandle(stream == stderr ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && handle != nullptr && GetConsoleMode(handle, &mode) ? handle : nullptr;
}

bool consoleOfItsOwn = false;

// A console only this process is attached to was made for it, and its window closes when the
// process ends; a prompt's console holds the prompt too. Where the console's processes cannot be
// listed (Wine's older consoles list none), a shown window whose cursor has not moved: a prompt
// writes its line before the program starts. Wine gives a program started from a Unix terminal a
// console of its own that shows in that terminal, with a message-only window.
bool startedInConsoleOfItsOwn() {
    const HANDLE output = consoleOf(stdout);
    const HWND window = GetConsoleWindow();
    if (output == nullptr || window == nullptr || GetAncestor(window, GA_PARENT) != GetDesktopWindow()) return false;
    DWORD processes[2];
    const DWORD attached = GetConsoleProcessList(processes, 2);
    if (attached != 0) return attached == 1;
    CONSOLE_SCREEN_BUFFER_INFO screen;
    return IsWindowVisible(window) && GetConsoleScreenBufferInfo(output, &screen) && screen.dwCursorPosition.X == 0 &&
           screen.dwCursorPosition.Y == 0;
}

}  // namespace

std::vector<std::string> programArguments(int argc, char** argv) {
    int count = 0;
    wchar_t** wide = nullptr;
    wchar_t** environment = nullptr;
    StartupInfo startup = {0};
    std::vector<std::string> arguments;
    if (__wgetmainargs(&count, &wide, &environment, 0, &startup) != 0 || wide == nullptr) {
        for (int index = 1; index < argc; ++index) arguments.emplace_back(argv[index]);
        return arguments;
    }
    for (int index = 1; index < count; ++index) arguments.push_back(utf8FromWide(wide[index], -1).c_str());
    return arguments;
}

std::string programPath() {
    wchar_t path[32768];
    const DWORD length = GetModuleFileNameW(nullptr, path, sizeof path / sizeof path[0]);
    return length > 0 && length < sizeof path / sizeof path[0] ? utf8FromWide(path, static_cast<int>(length))
                                                               : std::string();
}

std::string environmentText(const char* name) {
    const std::wstring wideName = wideFromUtf8(name);
    wchar_t value[32768];
    const DWORD length = GetEnvironmentVariableW(wideName.c_str(), value, sizeof value / sizeof value[0]);
    return length > 0 && length < sizeof value / sizeof value[0] ? utf8FromWide(value, static_cast<int>(length))
                                                                 : std::string();
}

void setUpOutput() {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    consoleOfItsOwn = startedInConsoleOfItsOwn();
}

bool ownConsoleWindow() { return consoleOfItsOwn; }

void writeText(std::FILE* stream, const std::string& text) {
    if (const HANDLE console = consoleOf(stream)) {
        std::fflush(stream);
        const std::wstring wide = wideFromUtf8(text);
        DWORD written = 0;
        WriteConsoleW(console, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        return;
    }
    std::fwrite(text.data(), 1, text.size(), stream);
}

std::FILE* openFile(const std::string& path, const char* mode) {
    return _wfopen(wideFromUtf8(path).c_str(), wideFromUtf8(mode).c_str());
}

void waitForKey() {
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode = 0;
    if (input == INVALID_HANDLE_VALUE || input == nullptr || !GetConsoleMode(input, &mode)) {
        int c = 0;
        while ((c = std::getchar()) != EOF && c != '\n') {
        }
        return;
    }
    FlushConsoleInputBuffer(input);
    for (;;) {
        INPUT_RECORD record;
        DWORD read = 0;
        if (!ReadConsoleInputW(input, &record, 1, &read) || read == 0) return;
        if (record.EventType == KEY_EVENT && record.Event.KeyEvent.bKeyDown) return;
    }
}

}  // namespace tools
