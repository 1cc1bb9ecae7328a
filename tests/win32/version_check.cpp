// Under Windows (or Wine): the version resource of a file, read back as Explorer's Properties
// read it, holds the expected version and names.
//   version_check FILE VERSION
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

const char* stringValue(std::vector<char>& data, const char* name) {
    char query[128];
    std::snprintf(query, sizeof query, "\\StringFileInfo\\040904B0\\%s", name);
    char* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(data.data(), query, reinterpret_cast<void**>(&value), &length) || value == nullptr) return "";
    return value;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: version_check FILE VERSION\n");
        return 2;
    }
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(argv[1], &handle);
    if (size == 0) {
        std::printf("version_check: %s has no version resource (error %lu)\n", argv[1], GetLastError());
        return 1;
    }
    std::vector<char> data(size);
    if (!GetFileVersionInfoA(argv[1], 0, size, data.data())) {
        std::printf("version_check: cannot read the version resource of %s\n", argv[1]);
        return 1;
    }
    int problems = 0;
    const struct {
        const char* name;
        const char* expected;
    } fields[] = {{"FileVersion", argv[2]},     {"ProductVersion", argv[2]},
                  {"ProductName", "Ostrivane"}, {"FileDescription", "Ostrivane text overlay"},
                  {"OriginalFilename", "Ostrivane.dll"}};
    for (const auto& field : fields) {
        const char* value = stringValue(data, field.name);
        std::printf("version_check: %s = %s\n", field.name, value);
        if (std::strcmp(value, field.expected) != 0) {
            std::printf("version_check: %s should be %s\n", field.name, field.expected);
            ++problems;
        }
    }
    if (std::strlen(stringValue(data, "LegalCopyright")) == 0) {
        std::printf("version_check: no LegalCopyright\n");
        ++problems;
    }
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    unsigned major = 0, minor = 0, patch = 0;
    std::sscanf(argv[2], "%u.%u.%u", &major, &minor, &patch);
    if (!VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &length) || fixed == nullptr ||
        fixed->dwFileVersionMS != ((major << 16) | minor) || fixed->dwFileVersionLS != (patch << 16)) {
        std::printf("version_check: the fixed file version is not %s\n", argv[2]);
        ++problems;
    }
    return problems == 0 ? 0 : 1;
}
