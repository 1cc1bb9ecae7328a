#include "host_records.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace standin {

namespace {

std::int32_t currentSelectionMode = 0;
std::uint32_t selectionModeCallCount = 0;

std::int32_t STANDIN_CDECL selectionModeService() {
    ++selectionModeCallCount;
    return currentSelectionMode;
}

// Every other service entry: the plug-in has no business calling them, so a call is reported
// and ends the run rather than returning something the plug-in might trust.
template <int Entry>
void STANDIN_CDECL unexpectedService() {
    std::fprintf(stderr, "standin_host: the plug-in called host service entry %d (offset 0x%02X), "
                         "which it must not use\n", Entry, Entry * 4);
    std::fflush(stderr);
    std::_Exit(3);
}

template <int... Entries>
constexpr std::array<void (*)(), sizeof...(Entries)> unexpectedServices(std::integer_sequence<int, Entries...>) {
    return {{&unexpectedService<Entries>...}};
}

// Extension table field k (offset 4k) carries operation k + 5, except that 0x2C carries 17 and
// 0x30 carries 16.
constexpr int kExtensionFieldOperation[kExtensionWords] = {
    5, 6, 7, 8, 9, 10, 11, 12, 13, 14,      // 0x00-0x24
    15, 17, 16, 18, 19, 20, 21, 22, 23, 24  // 0x28-0x4C
};

int cameraIndex(Camera camera) {
    switch (camera) {
    case Camera::Perspective: return 0;
    case Camera::Top: return 1;
    case Camera::Left: return 2;
    case Camera::Right: return 3;
    case Camera::Front: return 4;
    case Camera::Back: return 5;
    case Camera::Bottom: return 6;
    default: return 7;
    }
}

template <typename T>
Word addressOf(T& object) {
    return reinterpret_cast<Word>(object.data());
}

}  // namespace

bool parseCamera(const std::string& name, Camera* out) {
    static const std::pair<const char*, Camera> kNames[] = {
        {"perspective", Camera::Perspective}, {"top", Camera::Top},       {"left", Camera::Left},
        {"right", Camera::Right},             {"front", Camera::Front},   {"back", Camera::Back},
        {"bottom", Camera::Bottom},           {"free", Camera::Free},     {"none", Camera::None},
        {"no-view", Camera::NoView},          {"no-holder", Camera::NoHolder},
    };
    for (const auto& entry : kNames) {
        if (name == entry.first) {
            *out = entry.second;
            return true;
        }
    }
    return false;
}

HostRecords::HostRecords() {
    recordWords[at(0x14)] = addressOf(extensionWords);
    recordWords[at(0x18)] = addressOf(sceneWords);
    recordWords[at(0x1C)] = addressOf(serviceWords);
    recordWords[at(0x20)] = addressOf(extraObject);

    sceneWords[at(0x0C)] = addressOf(selectionRecords[static_cast<int>(Selection::Vertices)]);
    sceneWords[at(0x10)] = addressOf(selectionRecords[static_cast<int>(Selection::Edges)]);
    sceneWords[at(0x14)] = addressOf(selectionRecords[static_cast<int>(Selection::Faces)]);
    sceneWords[at(0x20)] = addressOf(cameraObjects[0]);
    sceneWords[at(0x28)] = addressOf(cameraObjects[1]);
    sceneWords[at(0x2C)] = addressOf(cameraObjects[2]);
    sceneWords[at(0x30)] = addressOf(cameraObjects[3]);
    sceneWords[at(0x34)] = addressOf(cameraObjects[4]);
    sceneWords[at(0x38)] = addressOf(cameraObjects[5]);
    sceneWords[at(0x3C)] = addressOf(cameraObjects[6]);
    sceneWords[at(0x40)] = addressOf(activeViewHolder);
    activeViewHolder[0] = addressOf(activeView);

    const auto traps = unexpectedServices(std::make_integer_sequence<int, kServiceWords - 1>());
    for (int entry = 0; entry < kServiceWords - 1; ++entry) {
        serviceWords[entry] = reinterpret_cast<Word>(traps[entry]);
    }
    serviceWords[at(0x74)] = reinterpret_cast<Word>(&selectionModeService);

    setCamera(Camera::Perspective);
}

unsigned HostRecords::operationOffset(int operation, bool* inExtensionTable) {
    if (operation < 5) {
        *inExtensionTable = false;
        return static_cast<unsigned>(operation) * 4;
    }
    *inExtensionTable = true;
    for (int field = 0; field < kExtensionWords; ++field) {
        if (kExtensionFieldOperation[field] == operation) return static_cast<unsigned>(field) * 4;
    }
    return 0;
}

std::string HostRecords::fieldName(int operation) {
    bool inTable = false;
    const unsigned offset = operationOffset(operation, &inTable);
    char text[64];
    std::snprintf(text, sizeof text, "%s field 0x%02X", inTable ? "extension table" : "record", offset);
    return text;
}

Word HostRecords::operationEntry(int operation) const {
    if (operation < 0 || operation > 24) return 0;
    bool inTable = false;
    const int word = at(operationOffset(operation, &inTable));
    return inTable ? extensionWords[word] : recordWords[word];
}

void HostRecords::clearOperations() {
    for (int word = 0; word < 5; ++word) recordWords[word] = 0;
    for (Word& word : extensionWords) word = 0;
}

void HostRecords::setCamera(Camera camera) {
    currentCamera = camera;
    sceneWords[at(0x40)] = addressOf(activeViewHolder);
    activeViewHolder[0] = addressOf(activeView);
    switch (camera) {
    case Camera::None: activeView[at(0x10)] = 0; break;
    case Camera::NoView:
        activeView[at(0x10)] = 0;
        activeViewHolder[0] = 0;
        break;
    case Camera::NoHolder:
        activeView[at(0x10)] = 0;
        sceneWords[at(0x40)] = 0;
        break;
    default: activeView[at(0x10)] = addressOf(cameraObjects[cameraIndex(camera)]); break;
    }
}

std::string HostRecords::cameraName() const {
    if (!sceneAttached()) return "";
    switch (currentCamera) {
    case Camera::Perspective: return "Main Perspective";
    case Camera::Top: return "Top";
    case Camera::Left: return "Left";
    case Camera::Right: return "Right";
    case Camera::Front: return "Front";
    case Camera::Back: return "Back";
    case Camera::Bottom: return "Bottom";
    case Camera::Free: return "Free Ortho";
    default: return "";
    }
}

void HostRecords::setSelectionCount(Selection which, std::int32_t count) {
    // The count is the 32-bit field at offset 4: in a 64-bit word, its low half.
    selectionRecords[static_cast<int>(which)][1] = static_cast<Word>(static_cast<std::uint32_t>(count));
}

std::int32_t HostRecords::selectionCount(Selection which) const {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(selectionRecords[static_cast<int>(which)][1]));
}

void HostRecords::detachScene() { recordWords[at(0x18)] = 0; }
void HostRecords::detachServices() { recordWords[at(0x1C)] = 0; }

void setSelectionMode(std::int32_t mode) { currentSelectionMode = mode; }
std::int32_t selectionMode() { return currentSelectionMode; }
std::uint32_t selectionModeCalls() { return selectionModeCallCount; }

}  // namespace standin
