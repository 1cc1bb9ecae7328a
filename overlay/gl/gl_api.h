// OpenGL declarations for the drawing code, without pulling <windows.h> into the core: the
// Windows gl.h only needs the two macros below. It declares OpenGL 1.1; the names of later
// versions the drawing uses are here, with the types of the functions it asks the context for.
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

#if !defined(APIENTRY)
#define APIENTRY
#endif

namespace overlay::gl {

// Names of OpenGL 1.2-3.1 that the Windows gl.h (1.1) lacks.
constexpr GLenum kTexture0 = 0x84C0;
constexpr GLenum kMaxTextureUnits = 0x84E2;
constexpr GLenum kMaxTextureCoords = 0x8871;
constexpr GLenum kTexture3D = 0x806F;
constexpr GLenum kTextureCubeMap = 0x8513;
constexpr GLenum kTextureRectangle = 0x84F5;
constexpr GLenum kColorSum = 0x8458;
constexpr GLenum kSampleAlphaToCoverage = 0x809E;
constexpr GLenum kSecondaryColorArray = 0x845E;
constexpr GLenum kFogCoordArray = 0x8457;
constexpr GLenum kArrayBuffer = 0x8892;
constexpr GLenum kPixelUnpackBuffer = 0x88EC;
constexpr GLenum kPixelUnpackBufferBinding = 0x88EF;
constexpr GLenum kVertexArrayBinding = 0x85B5;
constexpr GLenum kFuncAdd = 0x8006;
constexpr GLenum kClampToEdge = 0x812F;

using EnumFunction = void(APIENTRY*)(GLenum);
using BindFunction = void(APIENTRY*)(GLenum, GLuint);
using NameFunction = void(APIENTRY*)(GLuint);
using MultiDrawFunction = void(APIENTRY*)(GLenum, const GLint*, const GLsizei*, GLsizei);

}  // namespace overlay::gl
