// Under Windows (or Wine): initializePlugin survives an allocator that fails, whatever the
// allocator does. Every allocation function the plug-in DLL imports is patched in its import
// table to fail while initializePlugin runs; the call must return, with every trampoline written
// and answering the defaults. With the allocators restored, a second initializePlugin must bind
// the overlay.
//   alloc_failure_check PLUGIN.dll
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

int failedCalls = 0;

void* __cdecl failOneSize(std::size_t) {
    ++failedCalls;
    return nullptr;
}
void* __cdecl failTwoSizes(std::size_t, std::size_t) {
    ++failedCalls;
    return nullptr;
}
void* __cdecl failResize(void*, std::size_t) {
    ++failedCalls;
    return nullptr;
}
void* __cdecl failDuplicate(const char*) {
    ++failedCalls;
    return nullptr;
}
LPVOID WINAPI failHeapAlloc(HANDLE, DWORD, SIZE_T) {
    ++failedCalls;
    return nullptr;
}
LPVOID WINAPI failHeapReAlloc(HANDLE, DWORD, LPVOID, SIZE_T) {
    ++failedCalls;
    return nullptr;
}
HLOCAL WINAPI failLocalAlloc(UINT, SIZE_T) {
    ++failedCalls;
    return nullptr;
}
HGLOBAL WINAPI failGlobalAlloc(UINT, SIZE_T) {
    ++failedCalls;
    return nullptr;
}

struct Replacement {
    const char* name;
    void* function;
};

// The allocators a DLL may import, from the C runtime, KERNEL32 or a C++ runtime, with a failing
// stand-in of the same calling convention and arguments.
const Replacement kReplacements[] = {
    {"malloc", reinterpret_cast<void*>(&failOneSize)},
    {"calloc", reinterpret_cast<void*>(&failTwoSizes)},
    {"realloc", reinterpret_cast<void*>(&failResize)},
    {"_aligned_malloc", reinterpret_cast<void*>(&failTwoSizes)},
    {"_strdup", reinterpret_cast<void*>(&failDuplicate)},
    {"strdup", reinterpret_cast<void*>(&failDuplicate)},
    {"_Znwj", reinterpret_cast<void*>(&failOneSize)},
    {"_Znaj", reinterpret_cast<void*>(&failOneSize)},
    {"_ZnwjRKSt9nothrow_t", reinterpret_cast<void*>(&failTwoSizes)},
    {"_ZnajRKSt9nothrow_t", reinterpret_cast<void*>(&failTwoSizes)},
    {"??2@YAPAXI@Z", reinterpret_cast<void*>(&failOneSize)},
    {"??_U@YAPAXI@Z", reinterpret_cast<void*>(&failOneSize)},
    {"HeapAlloc", reinterpret_cast<void*>(&failHeapAlloc)},
    {"HeapReAlloc", reinterpret_cast<void*>(&failHeapReAlloc)},
    {"LocalAlloc", reinterpret_cast<void*>(&failLocalAlloc)},
    {"GlobalAlloc", reinterpret_cast<void*>(&failGlobalAlloc)},
};

struct Patch {
    std::uintptr_t* slot;
    std::uintptr_t original;
    const char* name;
};

void writeSlot(std::uintptr_t* slot, std::uintptr_t value) {
    DWORD protection = 0;
    VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection);
    *slot = value;
    VirtualProtect(slot, sizeof *slot, protection, &protection);
}

// Points every allocator import of `module` at its failing stand-in; returns what to restore.
std::vector<Patch> patchAllocators(HMODULE module) {
    std::vector<Patch> patches;
    auto* base = reinterpret_cast<unsigned char*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0) return patches;
    for (auto* descriptor = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         descriptor->Name != 0; ++descriptor) {
        const DWORD namesRva = descriptor->OriginalFirstThunk != 0 ? descriptor->OriginalFirstThunk : descriptor->FirstThunk;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + namesRva);
        auto* slots = reinterpret_cast<std::uintptr_t*>(base + descriptor->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            const char* name = reinterpret_cast<const char*>(byName->Name);
            for (const Replacement& replacement : kReplacements) {
                if (std::strcmp(name, replacement.name) != 0) continue;
                patches.push_back({slots, *slots, replacement.name});
                writeSlot(slots, reinterpret_cast<std::uintptr_t>(replacement.function));
            }
        }
    }
    return patches;
}

// The host's records: the plug-in record (operations 0-4 at 0x00-0x10, the extension table at
// 0x14, scene and services at 0x18 and 0x1C) and an extension table of 20 fields.
struct Records {
    std::uintptr_t extension[20] = {};
    std::uintptr_t record[9] = {};
    Records() { record[5] = reinterpret_cast<std::uintptr_t>(extension); }
};

using Initialize = void(__cdecl*)(void*);
using CountEntry = std::int32_t(__cdecl*)();
using NameEntry = const char*(__cdecl*)(std::int32_t);
using IndexBoolEntry = bool(__cdecl*)(std::int32_t);
using TwoArgBoolEntry = bool(__cdecl*)(std::uintptr_t, std::uintptr_t);

int problems = 0;

void expect(bool condition, const char* what) {
    if (condition) return;
    std::printf("alloc_failure_check: %s\n", what);
    ++problems;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: alloc_failure_check PLUGIN.dll\n");
        return 2;
    }
    HMODULE plugin = LoadLibraryA(argv[1]);
    if (plugin == nullptr) {
        std::fprintf(stderr, "alloc_failure_check: cannot load %s (error %lu)\n", argv[1], GetLastError());
        return 2;
    }
    auto initialize = reinterpret_cast<Initialize>(reinterpret_cast<void*>(GetProcAddress(plugin, "initializePlugin")));
    if (initialize == nullptr) {
        std::fprintf(stderr, "alloc_failure_check: %s does not export initializePlugin\n", argv[1]);
        return 2;
    }

    Records failing;
    std::vector<Patch> patches = patchAllocators(plugin);
    std::printf("alloc_failure_check: failing");
    for (const Patch& patch : patches) std::printf(" %s", patch.name);
    std::printf("\n");
    expect(!patches.empty(), "the DLL imports no allocator to fail");
    initialize(failing.record);
    for (const Patch& patch : patches) writeSlot(patch.slot, patch.original);
    std::printf("alloc_failure_check: initializePlugin returned after %d failed allocations\n", failedCalls);
    expect(failedCalls > 0, "initializePlugin allocated nothing through the patched imports");

    bool allWritten = true;
    for (int field = 0; field < 5; ++field) allWritten = allWritten && failing.record[field] != 0;
    for (std::uintptr_t slot : failing.extension) allWritten = allWritten && slot != 0;
    expect(allWritten, "a trampoline was left unwritten");
    if (allWritten) {
        expect(reinterpret_cast<CountEntry>(failing.record[2])() == 1, "functionCount is not the default 1");
        const char* name = reinterpret_cast<NameEntry>(failing.record[3])(0);
        expect(name != nullptr && std::strcmp(name, "Dummy Plugin") == 0, "functionName is not \"Dummy Plugin\"");
        expect(!reinterpret_cast<TwoArgBoolEntry>(failing.extension[0])(1, 2), "hook5 is not the default false");
        expect(reinterpret_cast<IndexBoolEntry>(failing.extension[19])(0), "drawFunction is not the default true");
    }

    Records restored;
    initialize(restored.record);
    const CountEntry count = reinterpret_cast<CountEntry>(restored.record[2]);
    expect(count != nullptr && count() == 5, "after the allocators came back, functionCount is not 5");
    const NameEntry nameOf = reinterpret_cast<NameEntry>(restored.record[3]);
    const char* drawing = nameOf != nullptr ? nameOf(0) : nullptr;
    expect(drawing != nullptr && std::strcmp(drawing, "Ostrivane Drawing Fn") == 0,
           "after the allocators came back, the overlay is not bound");
    if (problems == 0) std::printf("alloc_failure_check: passed\n");
    return problems == 0 ? 0 : 1;
}
