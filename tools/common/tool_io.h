// What the tools share with the person who runs them: arguments, output and files whose names and
// text hold any character. Text is UTF-8 throughout. On Windows the arguments come from the wide
// command line and files are opened through the wide-character API, so that a folder named in a
// script the ANSI code page lacks (a Cyrillic user name on a Western system) works; elsewhere
// names are the bytes they are.
#pragma once

#include <cstdarg>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace tools {

// The arguments after the program's name, as UTF-8 (Windows) or the bytes given (elsewhere).
std::vector<std::string> programArguments(int argc, char** argv);

// The program's own file, or empty when the system does not say.
std::string programPath();

// The value of the environment variable `name`, or empty.
std::string environmentText(const char* name);

// Makes standard output and error write exactly the bytes they are given (no CR before LF), so
// that the Windows and the native builds print the same when redirected; and notes, before
// anything is written, whether the program has a console window of its own.
void setUpOutput();

// Whether the program writes to a console window of its own, which closes when it ends: started
// from Explorer (a double-click, a shortcut, a file dropped on it), not from a prompt, and its
// output not redirected. Never on other systems.
bool ownConsoleWindow();

// Writes UTF-8 text to stdout or stderr. On a Windows console it is shown as the characters they
// are (WriteConsoleW), whatever the console's code page; redirected to a file or a pipe, and on
// other systems, it is written as UTF-8.
void writeText(std::FILE* stream, const std::string& text);

// printf into writeText.
#if defined(__GNUC__)
__attribute__((format(printf, 2, 3)))
#endif
void printText(std::FILE* stream, const char* format, ...);
// vsnprintf into a string of its own length.
std::string formatText(const char* format, std::va_list arguments);

// A path from UTF-8, and a path as UTF-8.
std::filesystem::path pathFromUtf8(const std::string& path);
std::string utf8FromPath(const std::filesystem::path& path);

// fopen for a UTF-8 path.
std::FILE* openFile(const std::string& path, const char* mode);

// Why the file at `path` cannot be read as an input: "not found", "is a directory" or "cannot be
// read"; empty when it can.
std::string inputProblem(const std::string& path);

// For a file at `path` that is not found: "; there is NAME.ini.txt beside it: Notepad may have
// added .txt, rename it to NAME.ini" when a file beside it has the name an editor or Explorer's
// hidden extensions make of it (NAME.ini.txt, NAME.txt, NAME.ini.ini); else empty. `where` says
// where that file is.
std::string misnamedFileHint(const std::string& path, const std::string& where = "beside it");

// Whether an argument is an option rather than a name: "-x" and "--word" everywhere; "/?" and, in
// the Windows build, a switch such as "/x" (a slash and letters, with no further separator or
// dot, so that "/home/me/my.ini" stays a name).
bool isOption(const std::string& argument);
// --help, -h or /?.
bool isHelpOption(const std::string& argument);

// Waits until the person presses a key at the console, or, without a console, until a line or the
// end of the input arrives.
void waitForKey();

// "1 row", "2 rows".
std::string counted(long count, const char* singular, const char* plural);

}  // namespace tools
