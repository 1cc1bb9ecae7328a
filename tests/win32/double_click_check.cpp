// A console program started as Explorer starts it, in a console of its own (CREATE_NEW_CONSOLE),
// and as a prompt starts it, in the console of its caller, after the prompt's line:
//
//   double_click_check.exe STATUS PROGRAM.exe [ARGS...]
//
// In a console of its own the program must say "Press a key to close this window." and wait
// until a key is pressed in that console, then end with STATUS; in its caller's console it must
// end with STATUS by itself. Exit status 0 when both hold; the reason goes to standard output.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cwchar>
#include <string>

namespace {

constexpr wchar_t kWaitLine[] = L"Press a key to close this window.";
constexpr DWORD kPatienceMs = 30000;

HANDLE report = nullptr;  // the standard output this program was given, kept across console changes

int fail(const std::string& text) {
    const std::string line = "double_click_check: " + text + "\n";
    DWORD written = 0;
    WriteFile(report, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    return 1;
}

std::wstring quoted(const wchar_t* argument) { return L"\"" + std::wstring(argument) + L"\""; }

// Everything the console this process is attached to shows, row after row.
std::wstring screenText() {
    const HANDLE output = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, 0, nullptr);
    std::wstring text;
    CONSOLE_SCREEN_BUFFER_INFO screen;
    if (output != INVALID_HANDLE_VALUE && GetConsoleScreenBufferInfo(output, &screen)) {
        text.resize(static_cast<std::size_t>(screen.dwSize.X) * static_cast<std::size_t>(screen.dwSize.Y));
        DWORD read = 0;
        ReadConsoleOutputCharacterW(output, &text[0], static_cast<DWORD>(text.size()), COORD{0, 0}, &read);
        text.resize(read);
    }
    if (output != INVALID_HANDLE_VALUE) CloseHandle(output);
    return text;
}

// A key pressed and let go in the console this process is attached to.
void pressKey() {
    const HANDLE input = CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, OPEN_EXISTING, 0, nullptr);
    if (input == INVALID_HANDLE_VALUE) return;
    INPUT_RECORD key[2] = {};
    for (int i = 0; i < 2; ++i) {
        key[i].EventType = KEY_EVENT;
        key[i].Event.KeyEvent.bKeyDown = i == 0;
        key[i].Event.KeyEvent.wRepeatCount = 1;
        key[i].Event.KeyEvent.wVirtualKeyCode = 'X';
        key[i].Event.KeyEvent.uChar.UnicodeChar = L'x';
    }
    DWORD written = 0;
    WriteConsoleInputW(input, key, 2, &written);
    CloseHandle(input);
}

// Starts the program with `flags`; with `console` (input, output), those are its standard handles,
// as a prompt hands on its console's.
bool start(const std::wstring& commandLine, DWORD flags, PROCESS_INFORMATION* process, const HANDLE* console = nullptr) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    if (console != nullptr) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = console[0];
        startup.hStdOutput = startup.hStdError = console[1];
    }
    std::wstring line = commandLine;
    return CreateProcessW(nullptr, &line[0], nullptr, nullptr, console != nullptr, flags, nullptr, nullptr, &startup,
                          process) != 0;
}

int endedWith(const PROCESS_INFORMATION& process, DWORD expected, const char* how) {
    DWORD status = 0;
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (status != expected) {
        return fail(std::string(how) + ": ended with " + std::to_string(status) + ", not " + std::to_string(expected));
    }
    return 0;
}

// Started in a console of its own: it waits, says so, and ends once a key is pressed.
int ownConsole(const std::wstring& commandLine, DWORD expected) {
    PROCESS_INFORMATION process;
    if (!start(commandLine, CREATE_NEW_CONSOLE, &process)) return fail("cannot start the program");
    FreeConsole();
    std::wstring shown;
    for (DWORD waited = 0; shown.find(kWaitLine) == std::wstring::npos; waited += 100) {
        if (WaitForSingleObject(process.hProcess, 100) == WAIT_OBJECT_0) {
            endedWith(process, expected, "in a console of its own");
            return fail("in a console of its own it ended without waiting for a key");
        }
        if (waited > kPatienceMs) {
            TerminateProcess(process.hProcess, 99);
            return fail("in a console of its own it never said it waits for a key");
        }
        if (AttachConsole(process.dwProcessId)) {
            shown = screenText();
            if (shown.find(kWaitLine) == std::wstring::npos) FreeConsole();
        }
    }
    if (WaitForSingleObject(process.hProcess, 1000) != WAIT_TIMEOUT) return fail("it did not wait for the key it asked for");
    // The program empties its input before it reads a key: the key is pressed until it ends.
    for (DWORD waited = 0; WaitForSingleObject(process.hProcess, 200) == WAIT_TIMEOUT; waited += 200) {
        if (waited > kPatienceMs) {
            TerminateProcess(process.hProcess, 99);
            return fail("a key pressed in its console did not end it");
        }
        pressKey();
    }
    FreeConsole();
    return endedWith(process, expected, "in a console of its own");
}

// Started from a prompt, in the console the prompt has written its line in: it ends by itself.
int callersConsole(const std::wstring& commandLine, DWORD expected) {
    FreeConsole();
    if (!AllocConsole()) return fail("cannot make a console to start the program in");
    SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
    const HANDLE console[2] = {
        CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited,
                    OPEN_EXISTING, 0, nullptr),
        CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited,
                    OPEN_EXISTING, 0, nullptr)};
    if (console[0] == INVALID_HANDLE_VALUE || console[1] == INVALID_HANDLE_VALUE) return fail("cannot open the console");
    const wchar_t prompt[] = L"C:\\> settings_dump\r\n";
    DWORD written = 0;
    WriteConsoleW(console[1], prompt, static_cast<DWORD>(wcslen(prompt)), &written, nullptr);
    PROCESS_INFORMATION process;
    if (!start(commandLine, 0, &process, console)) return fail("cannot start the program");
    if (WaitForSingleObject(process.hProcess, kPatienceMs) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 99);
        return fail("in its caller's console it waited");
    }
    const bool asked = screenText().find(kWaitLine) != std::wstring::npos;
    FreeConsole();
    if (asked) return fail("in its caller's console it asked for a key");
    return endedWith(process, expected, "in its caller's console");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    report = GetStdHandle(STD_OUTPUT_HANDLE);
    if (argc < 3) return fail("usage: double_click_check.exe STATUS PROGRAM.exe [ARGS...]");
    const DWORD expected = static_cast<DWORD>(_wtoi(argv[1]));
    std::wstring commandLine = quoted(argv[2]);
    for (int i = 3; i < argc; ++i) commandLine += L" " + quoted(argv[i]);
    if (ownConsole(commandLine, expected) != 0 || callersConsole(commandLine, expected) != 0) return 1;
    const std::string done = "double_click_check: waits in a console of its own, not in its caller's\n";
    DWORD written = 0;
    WriteFile(report, done.data(), static_cast<DWORD>(done.size()), &written, nullptr);
    return 0;
}
