// What emscripten's fixed-function GL emulation (LEGACY_GL_EMULATION) lacks for a GL 1.1 game:
// display lists, glPushAttrib/glPopAttrib, GL_BGR/GL_BGRA uploads and the internal formats
// given as a number of components. Calls that a display list may hold are recorded while one
// is compiled and replayed by glCallList; outside a list they go straight through.
#pragma once

#include <GL/gl.h>

#ifndef GL_BGR
#define GL_BGR 0x80E0
#endif
#ifndef GL_BGRA
#define GL_BGRA 0x80E1
#endif

#ifdef __cplusplus
extern "C" {
#endif
GLuint webGenLists(GLsizei range);
void webNewList(GLuint list, GLenum mode);
void webEndList(void);
void webCallList(GLuint list);
void webDeleteLists(GLuint list, GLsizei range);
void webBegin(GLenum mode);
void webEnd(void);
void webVertex2f(GLfloat x, GLfloat y);
void webTexCoord2f(GLfloat s, GLfloat t);
void webColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a);
void webBindTexture(GLenum target, GLuint texture);
void webTranslatef(GLfloat x, GLfloat y, GLfloat z);
void webPushMatrix(void);
void webPopMatrix(void);
void webEnable(GLenum capability);
void webDisable(GLenum capability);
void webPushAttrib(GLbitfield mask);
void webPopAttrib(void);
void webTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height, GLint border,
                   GLenum format, GLenum type, const void* pixels);
void webShadeModel(GLenum mode);
void webPolygonMode(GLenum face, GLenum mode);
#ifdef __cplusplus
}
#endif

#ifndef GL_WEB_IMPLEMENTATION
#define glGenLists webGenLists
#define glNewList webNewList
#define glEndList webEndList
#define glCallList webCallList
#define glDeleteLists webDeleteLists
#define glBegin webBegin
#define glEnd webEnd
#define glVertex2f webVertex2f
#define glTexCoord2f webTexCoord2f
#define glColor4f webColor4f
#define glColor3f(r, g, b) webColor4f((r), (g), (b), 1.0f)
#define glBindTexture webBindTexture
#define glTranslatef webTranslatef
#define glPushMatrix webPushMatrix
#define glPopMatrix webPopMatrix
#define glEnable webEnable
#define glDisable webDisable
#define glPushAttrib webPushAttrib
#define glPopAttrib webPopAttrib
#define glTexImage2D webTexImage2D
#define glShadeModel webShadeModel
#define glPolygonMode webPolygonMode
#endif
