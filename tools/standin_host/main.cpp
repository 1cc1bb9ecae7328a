// The stand-in host: loads an Ostrivane plug-in the way the modelling host does, binds it to
// host records of its own, and drives it through steps: frames into a GL context of its own,
// commands, host state changes and checks, including pixel comparisons with an oracle.
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "preview.h"
#include "session.h"
#include "steps.h"
#include "tool_io.h"

namespace {

// Lines of at most 79 characters, so that an 80-column console shows them whole.
const char kUsage[] = R"(Usage: standin_host --plugin PATH [options] [STEP ...]
       standin_host --preview LAUNCHER ...
         (what preview.bat and scripts/preview.sh run)

Loads the plug-in library PATH (Ostrivane.dll, Ostrivane.so or a test
plug-in), binds it to host records of its own and runs the steps in order.
Each STEP is one argument, e.g. "frame 3" or "save out.png"; quote steps with
spaces.

Options:
  --plugin PATH      the plug-in library (required)
  --settings FILE    stage FILE as the plug-in's settings file before anything
                     runs
  --library-dir DIR  copy the plug-in into DIR (relative to the work
                     directory) and load the copy, so that the folder beside
                     the plug-in is the run's own (see the library-settings
                     step)
  --workdir DIR      the work directory (current directory of the plug-in;
                     created if needed); default: a temporary directory,
                     removed at exit
  --script FILE      read steps from FILE (one per line, '#' comments), at
                     this place among the steps; may be given more than once
  --output DIR       where save and compare failures write images; default:
                     the current directory
  --verbose          print each step as it runs
  --help             this text (also -h and /?)

Relative paths in options and command-line steps are taken from the directory
standin_host was started in; relative input paths in a script from the
script's folder.
Exit status: 0 when every step passed, 1 when a step or the set-up failed, 2
for a usage error.

)";

int usageError(const std::string& message) {
    tools::printText(stderr, "standin_host: %s\nTry 'standin_host --help'.\n", message.c_str());
    return 2;
}

std::string absolute(const std::string& path) {
    std::error_code ec;
    const std::filesystem::path result = std::filesystem::absolute(tools::pathFromUtf8(path), ec);
    return ec ? path : tools::utf8FromPath(result.lexically_normal());
}

}  // namespace

int main(int argc, char** argv) {
    tools::setUpOutput();
    // Every argument as UTF-8, whatever characters it holds (see tool_io.h).
    const std::vector<std::string> args = tools::programArguments(argc, argv);
    if (!args.empty() && args[0] == "--preview") return standin::runPreview({args.begin() + 1, args.end()});
    standin::Options options;
    std::vector<standin::Step> steps;
    options.outputDir = absolute(".");
    const int count = static_cast<int>(args.size());
    for (int i = 0; i < count; ++i) {
        const std::string& arg = args[static_cast<std::size_t>(i)];
        const auto value = [&](std::string* out) {
            if (i + 1 >= count) return false;
            *out = args[static_cast<std::size_t>(++i)];
            return true;
        };
        if (tools::isHelpOption(arg)) {
            tools::writeText(stdout, kUsage);
            tools::writeText(stdout, standin::stepHelp());
            return 0;
        } else if (arg == "--verbose") {
            options.verbose = true;
        } else if (arg == "--library-dir") {
            if (!value(&options.libraryDir) || options.libraryDir.empty()) return usageError(arg + " needs a folder");
        } else if (arg == "--plugin" || arg == "--settings" || arg == "--workdir" || arg == "--output" ||
                   arg == "--script") {
            std::string path;
            if (!value(&path) || path.empty()) return usageError(arg + " needs a path");
            if (arg == "--plugin") options.pluginPath = absolute(path);
            else if (arg == "--settings") options.settingsPath = absolute(path);
            else if (arg == "--workdir") options.workDir = absolute(path);
            else if (arg == "--output") options.outputDir = absolute(path);
            else {
                std::string error;
                if (!standin::readScript(absolute(path), path, &steps, &error)) return usageError(error);
            }
        } else if (tools::isOption(arg)) {
            return usageError("unknown option " + arg);
        } else {
            standin::Step step;
            if (standin::parseStepLine(arg, "argument " + std::to_string(i + 1), &step)) steps.push_back(step);
        }
    }
    if (options.pluginPath.empty()) return usageError("no plug-in given (--plugin PATH)");
    for (const standin::Step& step : steps) {
        std::string error;
        if (!standin::validateStep(step, &error)) {
            return usageError(step.origin + ": \"" + step.text + "\": " + error);
        }
    }

    try {
        standin::Session session(options);
        for (const standin::Step& step : steps) {
            try {
                session.run(step);
            } catch (const standin::StepFailure& failure) {
                tools::printText(stderr, "standin_host: %s: \"%s\" failed: %s\n", step.origin.c_str(), step.text.c_str(),
                                 failure.what());
                return 1;
            }
        }
    } catch (const standin::StepFailure& failure) {
        tools::printText(stderr, "standin_host: %s\n", failure.what());
        return 1;
    } catch (const std::exception& error) {
        tools::printText(stderr, "standin_host: %s\n", error.what());
        return 1;
    }
    return 0;
}
