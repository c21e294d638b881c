// Display lists recorded and replayed on top of emscripten's GL emulation, and texture
// uploads brought to what WebGL 1 takes.
#define GL_WEB_IMPLEMENTATION
#include "gl_web.h"

#include <vector>

namespace {

enum Op { BEGIN, END, VERTEX, TEXCOORD, COLOR, BIND, TRANSLATE, PUSH, POP, ENABLE, DISABLE, CALL };

struct Command {
    Op op;
    GLuint value;
    GLfloat f[4];
};

std::vector<std::vector<Command>> lists(1);  // list 0 is never handed out
std::vector<bool> handedOut(1, true);
std::vector<Command>* compiling = nullptr;

// Adds the call to the list being compiled; false when none is, so the call goes through.
bool record(Op op, GLuint value = 0, GLfloat a = 0, GLfloat b = 0, GLfloat c = 0, GLfloat d = 0) {
    if (compiling == nullptr) return false;
    compiling->push_back(Command{op, value, {a, b, c, d}});
    return true;
}

struct Enables {
    GLboolean blend, texture, depth, cull;
};
std::vector<Enables> attributeStack;

}  // namespace

extern "C" {

GLuint webGenLists(GLsizei range) {
    const GLuint first = static_cast<GLuint>(lists.size());
    lists.resize(lists.size() + range);
    handedOut.resize(lists.size(), true);
    return first;
}

void webNewList(GLuint list, GLenum) {
    if (list == 0 || list >= lists.size()) return;
    lists[list].clear();
    compiling = &lists[list];
}

void webEndList(void) { compiling = nullptr; }

// Freed names at the end are taken back, so a game that makes its lists anew reuses them.
void webDeleteLists(GLuint list, GLsizei range) {
    for (GLsizei i = 0; i < range && list + i < lists.size(); ++i) {
        lists[list + i].clear();
        if (list + i != 0) handedOut[list + i] = false;
    }
    while (!handedOut.back()) {
        handedOut.pop_back();
        lists.pop_back();
    }
}

void webBegin(GLenum mode) { if (!record(BEGIN, mode)) glBegin(mode); }
void webEnd(void) { if (!record(END)) glEnd(); }
void webVertex2f(GLfloat x, GLfloat y) { if (!record(VERTEX, 0, x, y)) glVertex2f(x, y); }
void webTexCoord2f(GLfloat s, GLfloat t) { if (!record(TEXCOORD, 0, s, t)) glTexCoord2f(s, t); }
void webColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) { if (!record(COLOR, 0, r, g, b, a)) glColor4f(r, g, b, a); }
void webBindTexture(GLenum target, GLuint texture) { if (!record(BIND, texture)) glBindTexture(target, texture); }
void webTranslatef(GLfloat x, GLfloat y, GLfloat z) { if (!record(TRANSLATE, 0, x, y, z)) glTranslatef(x, y, z); }
void webPushMatrix(void) { if (!record(PUSH)) glPushMatrix(); }
void webPopMatrix(void) { if (!record(POP)) glPopMatrix(); }
void webEnable(GLenum capability) { if (!record(ENABLE, capability)) glEnable(capability); }
void webDisable(GLenum capability) { if (!record(DISABLE, capability)) glDisable(capability); }

void webCallList(GLuint list) {
    if (record(CALL, list) || list == 0 || list >= lists.size()) return;
    for (const Command& c : lists[list]) {
        switch (c.op) {
        case BEGIN: glBegin(c.value); break;
        case END: glEnd(); break;
        case VERTEX: glVertex2f(c.f[0], c.f[1]); break;
        case TEXCOORD: glTexCoord2f(c.f[0], c.f[1]); break;
        case COLOR: glColor4f(c.f[0], c.f[1], c.f[2], c.f[3]); break;
        case BIND: glBindTexture(GL_TEXTURE_2D, c.value); break;
        case TRANSLATE: glTranslatef(c.f[0], c.f[1], c.f[2]); break;
        case PUSH: glPushMatrix(); break;
        case POP: glPopMatrix(); break;
        case ENABLE: glEnable(c.value); break;
        case DISABLE: glDisable(c.value); break;
        case CALL: webCallList(c.value); break;
        }
    }
}

// The switches a 2D game turns on and off; enough for glPushAttrib(GL_ENABLE_BIT) pairs.
void webPushAttrib(GLbitfield) {
    attributeStack.push_back(Enables{glIsEnabled(GL_BLEND), glIsEnabled(GL_TEXTURE_2D), glIsEnabled(GL_DEPTH_TEST),
                                     glIsEnabled(GL_CULL_FACE)});
}

static void setEnabled(GLenum capability, GLboolean on) { on ? glEnable(capability) : glDisable(capability); }

void webPopAttrib(void) {
    if (attributeStack.empty()) return;
    const Enables e = attributeStack.back();
    attributeStack.pop_back();
    setEnabled(GL_BLEND, e.blend);
    setEnabled(GL_TEXTURE_2D, e.texture);
    setEnabled(GL_DEPTH_TEST, e.depth);
    setEnabled(GL_CULL_FACE, e.cull);
}

// WebGL 1 takes no BGR orders, and the internal format must name the format itself.
void webTexImage2D(GLenum target, GLint level, GLint, GLsizei width, GLsizei height, GLint border, GLenum format,
                   GLenum type, const void* pixels) {
    const int components = (format == GL_BGR || format == GL_RGB) ? 3 : (format == GL_BGRA || format == GL_RGBA) ? 4 : 0;
    std::vector<unsigned char> swapped;
    if ((format == GL_BGR || format == GL_BGRA) && type == GL_UNSIGNED_BYTE && pixels != nullptr) {
        GLint alignment = 4;
        glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
        const size_t rowBytes = static_cast<size_t>(width) * components;
        const size_t pitch = (rowBytes + alignment - 1) / alignment * alignment;
        const unsigned char* in = static_cast<const unsigned char*>(pixels);
        swapped.assign(in, in + pitch * (height - 1) + rowBytes);
        for (GLsizei y = 0; y < height; ++y)
            for (size_t i = y * pitch; i < y * pitch + rowBytes; i += components) std::swap(swapped[i], swapped[i + 2]);
        pixels = swapped.data();
    }
    if (components == 3) format = GL_RGB;
    if (components == 4) format = GL_RGBA;
    glTexImage2D(target, level, static_cast<GLint>(format), width, height, border, format, type, pixels);
}

// Flat and smooth shading look the same with one colour a quad; polygons are always filled.
void webShadeModel(GLenum) {}
void webPolygonMode(GLenum, GLenum) {}

}  // extern "C"
