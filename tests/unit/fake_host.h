// Host records and clocks that unit tests control.
#pragma once

#include <cstdint>

#include "host/host_interface.h"
#include "overlay/clock.h"
#include "platform/platform.h"

struct FakeClock {
    static inline std::uint32_t tick = 0;
    static inline std::int64_t now = 0;
    static inline bool localTimeFails = false;
    static inline platform::CalendarTime local = {126, 11, 7, 22, 15, 30};  // 2026-12-07 22:15:30
    static inline int timeZoneReloads = 0;

    static void reset() {
        tick = 0;
        now = 0;
        localTimeFails = false;
        local = {126, 11, 7, 22, 15, 30};
        timeZoneReloads = 0;
    }
    static std::uint32_t tickMilliseconds() { return tick; }
    static std::int64_t calendarNow() { return now; }
    static bool toLocalTime(std::int64_t, platform::CalendarTime* out) {
        if (localTimeFails) return false;
        *out = local;
        return true;
    }
    static void reloadTimeZone() { ++timeZoneReloads; }

    static const overlay::Clock* clock() {
        static const overlay::Clock fake = {&tickMilliseconds, &calendarNow, &toLocalTime, &reloadTimeZone};
        return &fake;
    }
};

struct FakeHost {
    static inline std::int32_t mode = -1;
    static inline int modeCalls = 0;
    static inline bool rotateModes = false;  // answer face, edge, vertex in turn, call by call
    static std::int32_t OSTRIVANE_HOST_CALL selectionMode() {
        ++modeCalls;
        return rotateModes ? (modeCalls - 1) % 3 : mode;
    }

    int cameras[8] = {};  // the objects whose addresses serve as camera handles
    host::HostSelectionRecord faces{nullptr, 0};
    host::HostSelectionRecord edges{nullptr, 0};
    host::HostSelectionRecord vertices{nullptr, 0};
    host::HostActiveView view{};
    host::HostActiveViewHolder holder{&view};
    host::HostSceneState scene{};
    host::HostServiceTable services{};
    host::ExtensionTable extension{};
    host::PluginHostRecord record{};

    FakeHost() {
        mode = -1;
        modeCalls = 0;
        rotateModes = false;
        scene.vertexSelection = &vertices;
        scene.edgeSelection = &edges;
        scene.faceSelection = &faces;
        scene.perspectiveCamera = &cameras[0];
        scene.topCamera = &cameras[1];
        scene.leftCamera = &cameras[2];
        scene.rightCamera = &cameras[3];
        scene.frontCamera = &cameras[4];
        scene.backCamera = &cameras[5];
        scene.bottomCamera = &cameras[6];
        scene.activeViewHolder = &holder;
        services.selectionMode = &selectionMode;
        record.extensionTable = &extension;
        record.scene = &scene;
        record.services = &services;
    }
    FakeHost(const FakeHost&) = delete;
    FakeHost& operator=(const FakeHost&) = delete;

    host::CameraHandle freeCamera() const { return &cameras[7]; }
};
