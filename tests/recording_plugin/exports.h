// How the test plug-ins export their entries: undecorated cdecl names, the only symbols visible.
#pragma once

#include "host/host_interface.h"

#ifdef _WIN32
#define TEST_PLUGIN_EXPORT extern "C" __declspec(dllexport)
#else
#define TEST_PLUGIN_EXPORT extern "C" __attribute__((visibility("default")))
#endif
