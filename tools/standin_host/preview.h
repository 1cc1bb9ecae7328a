// The preview: a settings file drawn by the real plug-in over a picture like the host's viewport,
// written as a PNG, for people rather than tests. Its options are checked and refused in plain
// words, the file's warnings are printed, and a picture without the overlay is explained.
// preview.bat (the release) and scripts/preview.sh (the source tree) both run it, so that the two
// take the same options and say the same things:
//
//   standin_host --preview LAUNCHER [--plugin PATH] [--default-settings FILE]
//                [--default-output FILE] [--wait-if-double-clicked] USER_ARGUMENTS...
//
// LAUNCHER is the script's own path, named in the messages. The options after it are the
// launcher's: the plug-in (default: Ostrivane.dll or Ostrivane.so beside standin_host), the
// settings file and picture used when the user names none (default picture: beside the settings
// file, named like it), and whether to wait for a key before the window closes when the script
// was started from Explorer (read from OSTRIVANE_LAUNCH_LINE, the script's %cmdcmdline%).
#pragma once

#include <string>
#include <vector>

namespace standin {

// Runs the preview with the arguments that follow --preview. Returns the exit status: 0 the
// picture was made and the file has no warnings, 1 the picture was made but the file has warnings
// or the picture shows nothing of the overlay, 2 bad input (no picture is written).
int runPreview(const std::vector<std::string>& arguments);

// Whether a batch script at `launcher` was started from Explorer (or a shortcut, or by dropping a
// file on it): cmd's command line `launchLine` then runs it with /c, named by its full path in
// quotes. Typed at a prompt, the command line is the prompt's own.
bool startedByDoubleClick(const std::string& launchLine, const std::string& launcher);

}  // namespace standin
