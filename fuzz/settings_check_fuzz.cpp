// Fuzzes the settings check: whatever the bytes, it neither crashes nor runs away: at most
// kMaxWarnings warnings and one line more, each in the compilers' form.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "fuzz_settings_file.h"
#include "settings_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& path = writeSettingsFile(data, size);
    std::vector<std::string> messages;
    const check::Outcome outcome = check::checkSettingsFile(path, path, "fuzz.ini", nullptr, &messages);
    std::size_t warnings = 0;
    for (const std::string& message : messages) {
        const bool warning = message.rfind("fuzz.ini:", 0) == 0 && message.find(": warning: ") != std::string::npos;
        const bool error = message.rfind("fuzz.ini: error: ", 0) == 0;
        if (!warning && !error) {
            std::fprintf(stderr, "a message not in the compilers' form: %s\n", message.c_str());
            __builtin_trap();
        }
        if (warning) ++warnings;
    }
    if (warnings > check::kMaxWarnings + 1 || (outcome == check::Outcome::Clean) != messages.empty()) {
        std::fprintf(stderr, "%zu warnings, outcome %d\n", warnings, static_cast<int>(outcome));
        __builtin_trap();
    }
    return 0;
}
