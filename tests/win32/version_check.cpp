// Under Windows (or Wine): the version resource of a file, read back as Explorer's Properties
// read it, holds the expected version, the product's name, the file's own name and a description.
//   version_check FILE VERSION
// FILE may be named in any script: the arguments and the file are taken through the wide API.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <vector>

namespace {

const wchar_t* stringValue(std::vector<char>& data, const wchar_t* name) {
    wchar_t query[128];
    std::swprintf(query, sizeof query / sizeof query[0], L"\\StringFileInfo\\040904B0\\%ls", name);
    wchar_t* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(data.data(), query, reinterpret_cast<void**>(&value), &length) || value == nullptr) return L"";
    return value;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::printf("usage: version_check FILE VERSION\n");
        return 2;
    }
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(argv[1], &handle);
    if (size == 0) {
        std::printf("version_check: %ls has no version resource (error %lu)\n", argv[1], GetLastError());
        return 1;
    }
    std::vector<char> data(size);
    if (!GetFileVersionInfoW(argv[1], 0, size, data.data())) {
        std::printf("version_check: cannot read the version resource of %ls\n", argv[1]);
        return 1;
    }
    const wchar_t* fileName = argv[1];
    for (const wchar_t* p = argv[1]; *p != 0; ++p) {
        if (*p == L'\\' || *p == L'/') fileName = p + 1;
    }
    int problems = 0;
    const struct {
        const wchar_t* name;
        const wchar_t* expected;
    } fields[] = {{L"FileVersion", argv[2]},
                  {L"ProductVersion", argv[2]},
                  {L"ProductName", L"Ostrivane"},
                  {L"OriginalFilename", fileName}};
    for (const auto& field : fields) {
        const wchar_t* value = stringValue(data, field.name);
        if (std::wcscmp(value, field.expected) != 0) {
            std::printf("version_check: %ls is \"%ls\", not \"%ls\"\n", field.name, value, field.expected);
            ++problems;
        }
    }
    for (const wchar_t* name : {L"LegalCopyright", L"FileDescription"}) {
        if (std::wcslen(stringValue(data, name)) == 0) {
            std::printf("version_check: no %ls\n", name);
            ++problems;
        }
    }
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    unsigned major = 0, minor = 0, patch = 0;
    std::swscanf(argv[2], L"%u.%u.%u", &major, &minor, &patch);
    if (!VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) || fixed == nullptr ||
        fixed->dwFileVersionMS != ((major << 16) | minor) || fixed->dwFileVersionLS != (patch << 16)) {
        std::printf("version_check: the fixed file version is not %ls\n", argv[2]);
        ++problems;
    }
    return problems == 0 ? 0 : 1;
}
