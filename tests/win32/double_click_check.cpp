// A console program started as Explorer starts it, in a console of its own, must say "Press a key
// to close this window." and end with STATUS once a key is pressed there; started from a prompt,
// in its caller's console after the prompt's line, it must end with STATUS by itself.
//   double_click_check.exe STATUS PROGRAM.exe [ARGS...]
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <string>

namespace {

constexpr wchar_t kWaitLine[] = L"Press a key to close this window.";
constexpr DWORD kPatienceMs = 30000;
HANDLE report = nullptr;  // the standard output this program was given, whatever console it joins

int say(const std::string& text, int status) {
    const std::string line = "double_click_check: " + text + "\n";
    DWORD written = 0;
    WriteFile(report, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    return status;
}
int fail(const std::string& text) { return say(text, 1); }

HANDLE openConsole(const wchar_t* name, SECURITY_ATTRIBUTES* security = nullptr) {
    return CreateFileW(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, security, OPEN_EXISTING,
                       0, nullptr);
}

// What the console this process is attached to shows.
std::wstring screenText() {
    const HANDLE output = openConsole(L"CONOUT$");
    CONSOLE_SCREEN_BUFFER_INFO screen;
    std::wstring text;
    if (GetConsoleScreenBufferInfo(output, &screen)) {
        text.resize(static_cast<std::size_t>(screen.dwSize.X) * static_cast<std::size_t>(screen.dwSize.Y));
        DWORD read = 0;
        ReadConsoleOutputCharacterW(output, &text[0], static_cast<DWORD>(text.size()), COORD{0, 0}, &read);
        text.resize(read);
    }
    CloseHandle(output);
    return text;
}

void pressKey() {
    const HANDLE input = openConsole(L"CONIN$");
    INPUT_RECORD key[2] = {};
    for (int i = 0; i < 2; ++i) {
        key[i].EventType = KEY_EVENT;
        key[i].Event.KeyEvent = {i == 0, 1, 'X', 0, {L'x'}, 0};
    }
    DWORD written = 0;
    WriteConsoleInputW(input, key, 2, &written);
    CloseHandle(input);
}

// Starts the program; with `console` (input, output) as its standard handles, as a prompt does.
bool start(std::wstring commandLine, DWORD flags, PROCESS_INFORMATION* process, const HANDLE* console = nullptr) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    if (console != nullptr) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = console[0];
        startup.hStdOutput = startup.hStdError = console[1];
    }
    return CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, console != nullptr, flags, nullptr, nullptr,
                          &startup, process) != 0;
}

int endedWith(const PROCESS_INFORMATION& process, DWORD expected, const char* where) {
    if (WaitForSingleObject(process.hProcess, kPatienceMs) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 99);
        return fail(std::string(where) + ": it did not end");
    }
    DWORD status = 0;
    GetExitCodeProcess(process.hProcess, &status);
    if (status != expected) return fail(std::string(where) + ": it ended with " + std::to_string(status));
    return 0;
}

int ownConsole(const std::wstring& commandLine, DWORD expected) {
    PROCESS_INFORMATION process;
    if (!start(commandLine, CREATE_NEW_CONSOLE, &process)) return fail("cannot start the program");
    FreeConsole();
    for (DWORD waited = 0;; waited += 100) {
        if (WaitForSingleObject(process.hProcess, 100) == WAIT_OBJECT_0) return fail("it ended without waiting for a key");
        if (waited > kPatienceMs) {
            TerminateProcess(process.hProcess, 99);
            return fail("it never said it waits for a key");
        }
        if (!AttachConsole(process.dwProcessId)) continue;
        if (screenText().find(kWaitLine) != std::wstring::npos) break;
        FreeConsole();
    }
    if (WaitForSingleObject(process.hProcess, 1000) != WAIT_TIMEOUT) return fail("it did not wait for a key");
    // It empties its input before it reads a key: the key is pressed until it ends.
    for (DWORD waited = 0; waited < kPatienceMs && WaitForSingleObject(process.hProcess, 200) == WAIT_TIMEOUT;
         waited += 200) {
        pressKey();
    }
    FreeConsole();
    return endedWith(process, expected, "in a console of its own");
}

int callersConsole(const std::wstring& commandLine, DWORD expected) {
    FreeConsole();
    if (!AllocConsole()) return fail("cannot make a console");
    SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
    const HANDLE console[2] = {openConsole(L"CONIN$", &inherited), openConsole(L"CONOUT$", &inherited)};
    const wchar_t prompt[] = L"C:\\> settings_dump\r\n";
    DWORD written = 0;
    WriteConsoleW(console[1], prompt, static_cast<DWORD>(sizeof prompt / sizeof prompt[0] - 1), &written, nullptr);
    PROCESS_INFORMATION process;
    if (!start(commandLine, 0, &process, console)) return fail("cannot start the program");
    if (endedWith(process, expected, "in its caller's console") != 0) return 1;
    if (screenText().find(kWaitLine) != std::wstring::npos) return fail("in its caller's console it asked for a key");
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    report = GetStdHandle(STD_OUTPUT_HANDLE);
    if (argc < 3) return fail("usage: double_click_check.exe STATUS PROGRAM.exe [ARGS...]");
    std::wstring commandLine;
    for (int i = 2; i < argc; ++i) commandLine += (i > 2 ? L" \"" : L"\"") + std::wstring(argv[i]) + L"\"";
    const DWORD expected = static_cast<DWORD>(_wtoi(argv[1]));
    if (ownConsole(commandLine, expected) != 0 || callersConsole(commandLine, expected) != 0) return 1;
    return say("it waits in a console of its own, not in its caller's", 0);
}
