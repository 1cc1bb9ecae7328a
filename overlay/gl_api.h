// OpenGL 1.1 declarations for the drawing code, without pulling <windows.h> into the core:
// the Windows gl.h only needs the two macros below.
#pragma once

#if defined(_WIN32)
#ifndef APIENTRY
#define APIENTRY __stdcall
#endif
#ifndef WINGDIAPI
#define WINGDIAPI __declspec(dllimport)
#endif
#endif

#include <GL/gl.h>
