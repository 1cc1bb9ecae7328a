// The records the host hands to the plug-in, as the plug-in reads and writes them.
//
// Every field is one machine word (32 bits in the host's 32-bit process), so the byte offsets
// below are those of the 32-bit layout; they are checked at compile time in 32-bit builds.
// A 64-bit build (the native preview and the unit tests) keeps the same field order with
// pointer-sized words, and its stand-in host lays the records out by the same rule.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(__i386__) || defined(_M_IX86)
// The host calls plain functions and removes the arguments itself.
#define OSTRIVANE_HOST_CALL __attribute__((cdecl))
#else
#define OSTRIVANE_HOST_CALL
#endif

namespace host {

// Identity of a host camera; only ever compared, never dereferenced.
using CameraHandle = const void*;

// A generic function pointer: each slot is cast to its operation's own type before a call.
using HostFunction = void (*)();

struct HostSelectionRecord {
    const void* reserved;        // 0x00
    std::int32_t selectedCount;  // 0x04
};

struct HostActiveView {
    const void* reserved[4];  // 0x00-0x0C
    CameraHandle camera;      // 0x10: the camera this view shows
};

struct HostActiveViewHolder {
    const HostActiveView* activeView;  // 0x00
};

struct HostSceneState {
    const void* reserved0[3];                     // 0x00-0x08
    const HostSelectionRecord* vertexSelection;   // 0x0C
    const HostSelectionRecord* edgeSelection;     // 0x10
    const HostSelectionRecord* faceSelection;     // 0x14
    const void* reserved1[2];                     // 0x18-0x1C
    CameraHandle perspectiveCamera;               // 0x20
    const void* reserved2;                        // 0x24
    CameraHandle topCamera;                       // 0x28
    CameraHandle leftCamera;                      // 0x2C
    CameraHandle rightCamera;                     // 0x30
    CameraHandle frontCamera;                     // 0x34
    CameraHandle backCamera;                      // 0x38
    CameraHandle bottomCamera;                    // 0x3C
    const HostActiveViewHolder* activeViewHolder; // 0x40
};

// Selection modes answered by HostServiceTable::selectionMode; any other value means none.
enum SelectionMode : std::int32_t { kFaceMode = 0, kEdgeMode = 1, kVertexMode = 2 };

using SelectionModeFunction = std::int32_t(OSTRIVANE_HOST_CALL*)();

constexpr int kServiceSelectionModeEntry = 29;

struct HostServiceTable {
    HostFunction entries[kServiceSelectionModeEntry];  // 0x00-0x70: not used by the plug-in
    SelectionModeFunction selectionMode;               // 0x74
};

constexpr int kExtensionTableSlots = 20;

struct ExtensionTable {
    HostFunction operations[kExtensionTableSlots];  // 0x00-0x4C: operations 5-24
};

constexpr int kRecordOperationSlots = 5;

struct PluginHostRecord {
    HostFunction operations[kRecordOperationSlots];  // 0x00-0x10: operations 0-4
    ExtensionTable* extensionTable;                  // 0x14
    const HostSceneState* scene;                     // 0x18
    HostServiceTable* services;                      // 0x1C
    void* hostExtra;                                 // 0x20: kept, never used
};

#if defined(__i386__) || defined(_M_IX86)
static_assert(sizeof(void*) == 4, "32-bit layout expected");
static_assert(offsetof(HostSelectionRecord, selectedCount) == 0x04, "selection count");
static_assert(offsetof(HostActiveView, camera) == 0x10, "active view camera");
static_assert(offsetof(HostActiveViewHolder, activeView) == 0x00, "active view holder");
static_assert(offsetof(HostSceneState, vertexSelection) == 0x0C, "vertex selection");
static_assert(offsetof(HostSceneState, edgeSelection) == 0x10, "edge selection");
static_assert(offsetof(HostSceneState, faceSelection) == 0x14, "face selection");
static_assert(offsetof(HostSceneState, perspectiveCamera) == 0x20, "perspective camera");
static_assert(offsetof(HostSceneState, topCamera) == 0x28, "top camera");
static_assert(offsetof(HostSceneState, leftCamera) == 0x2C, "left camera");
static_assert(offsetof(HostSceneState, rightCamera) == 0x30, "right camera");
static_assert(offsetof(HostSceneState, frontCamera) == 0x34, "front camera");
static_assert(offsetof(HostSceneState, backCamera) == 0x38, "back camera");
static_assert(offsetof(HostSceneState, bottomCamera) == 0x3C, "bottom camera");
static_assert(offsetof(HostSceneState, activeViewHolder) == 0x40, "active view holder");
static_assert(offsetof(HostServiceTable, selectionMode) == 0x74, "selectionMode entry");
static_assert(sizeof(ExtensionTable) == 0x50, "extension table");
static_assert(offsetof(PluginHostRecord, extensionTable) == 0x14, "extension table pointer");
static_assert(offsetof(PluginHostRecord, scene) == 0x18, "scene state pointer");
static_assert(offsetof(PluginHostRecord, services) == 0x1C, "service table pointer");
static_assert(offsetof(PluginHostRecord, hostExtra) == 0x20, "further host object");
#endif

}  // namespace host
