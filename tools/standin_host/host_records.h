// The records the stand-in host hands to a plug-in, laid out from the host's side.
//
// Every record is an array of machine words; a field's word index is its byte offset in the
// host's 32-bit layout divided by 4. The Win32 build therefore has exactly the host's offsets,
// and a 64-bit native build keeps the same field order with pointer-sized words. The plug-in's
// own header is deliberately not used here, so the end-to-end tests check it against this layout.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#if defined(__i386__) || defined(_M_IX86)
#define STANDIN_CDECL __attribute__((cdecl))
#else
#define STANDIN_CDECL
#endif

namespace standin {

using Word = std::uintptr_t;

// Word index of the field at `offset` bytes in the 32-bit layout.
constexpr int at(unsigned offset) { return static_cast<int>(offset / 4); }

constexpr int kRecordWords = at(0x20) + 1;
constexpr int kExtensionWords = at(0x4C) + 1;
constexpr int kSceneWords = at(0x40) + 1;
constexpr int kServiceWords = at(0x74) + 1;

enum class Camera { Perspective, Top, Left, Right, Front, Back, Bottom, Free, None, NoView, NoHolder };
enum class Selection { Vertices, Edges, Faces };

// Parses a `camera` step argument; false for an unknown name.
bool parseCamera(const std::string& name, Camera* out);

// The host side of the contract: the plug-in record with its extension table, the scene state
// with its selection records, cameras and active view, and the service table. Addresses stay
// fixed for the object's life, as the plug-in keeps pointers into them.
class HostRecords {
public:
    HostRecords();
    HostRecords(const HostRecords&) = delete;
    HostRecords& operator=(const HostRecords&) = delete;

    void* record() { return recordWords.data(); }

    // The function pointer the plug-in wrote for `operation` (0-24), or 0 when none was written.
    Word operationEntry(int operation) const;
    // Byte offset in the 32-bit layout, and whether it is in the record or its extension table.
    static unsigned operationOffset(int operation, bool* inExtensionTable);
    // "record field 0x0C" or "extension table field 0x2C": where `operation` is written.
    static std::string fieldName(int operation);
    // Clears every operation field, so that a bind shows which ones it wrote.
    void clearOperations();

    void setCamera(Camera camera);
    Camera camera() const { return currentCamera; }
    // The name the plug-in's camera token should show for the current camera; empty when the
    // active view shows no camera (or cannot be reached).
    std::string cameraName() const;

    void setSelectionCount(Selection which, std::int32_t count);
    std::int32_t selectionCount(Selection which) const;

    // Null scene or service pointers in the record; only meaningful before the plug-in binds.
    void detachScene();
    void detachServices();
    bool sceneAttached() const { return recordWords[at(0x18)] != 0; }
    bool servicesAttached() const { return recordWords[at(0x1C)] != 0; }

private:
    std::array<Word, kRecordWords> recordWords{};
    std::array<Word, kExtensionWords> extensionWords{};
    std::array<Word, kSceneWords> sceneWords{};
    std::array<Word, kServiceWords> serviceWords{};
    std::array<Word, 2> selectionRecords[3]{};
    std::array<Word, 1> activeViewHolder{};
    std::array<Word, at(0x10) + 1> activeView{};
    // Distinct objects whose addresses serve as camera handles: the seven named cameras and one
    // that the scene does not know (a free view).
    std::array<Word, 1> cameraObjects[8]{};
    std::array<Word, 4> extraObject{};
    Camera currentCamera = Camera::Perspective;
};

// The selection mode answered by the service table's selectionMode entry (host-wide, since the
// service takes no arguments), and how often the plug-in has asked for it.
void setSelectionMode(std::int32_t mode);
std::int32_t selectionMode();
std::uint32_t selectionModeCalls();

}  // namespace standin
