// OpenGL 1.1 declarations, with the types and names of later versions; on Windows they need
// <windows.h> first, and later entry points come from wglGetProcAddress. Natively the library
// exports them: include this before any other GL header to have their prototypes.
#pragma once

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#define GL_GLEXT_PROTOTYPES 1
#endif
#include <GL/gl.h>
#include <GL/glext.h>
