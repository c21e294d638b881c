// The least any frame of the game must do, in the same kind of window: the yardstick the
// frame and start-up benchmarks hold the game against.
//
//   zk_floor once     start SDL, open the OpenGL window the game opens, swap once, exit
//   zk_floor frames   then draw, every frame, only the two textured quads that cover the
//                     view (the 600 x 600 background with its 256 x 256 picture repeated
//                     2 x 2, and the 200 x 600 panel from a 256 x 1024 picture) and swap,
//                     until killed or closed
//
// Window, GL attributes, projection, texture formats and filters are the game's own
// (src/app/startup.cpp, src/render/lists.cpp, src/render/textures.cpp); the pictures are
// made here, since their contents cost nothing to draw.
#include <SDL.h>
#include <SDL_opengl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

const int WIDTH = 800, HEIGHT = 600, BPP = 32;
const float FIELD = 600.0f, VIEW = 800.0f;

void requestGlAttributes() {
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 5);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 5);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 5);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_RED_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_GREEN_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_BLUE_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_ALPHA_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
}

SDL_Surface* openWindow() {
    if (SDL_Init(SDL_INIT_VIDEO) == -1) {
        fprintf(stderr, "zk_floor: SDL_Init: %s\n", SDL_GetError());
        exit(1);
    }
    atexit(SDL_Quit);
    SDL_WM_SetCaption("zk_floor", nullptr);
    requestGlAttributes();
    SDL_Surface* surface = SDL_SetVideoMode(WIDTH, HEIGHT, BPP, SDL_OPENGL);
    if (surface == nullptr) surface = SDL_SetVideoMode(WIDTH, HEIGHT, BPP, SDL_OPENGL | SDL_ANYFORMAT);
    if (surface == nullptr) {
        fprintf(stderr, "zk_floor: SDL_SetVideoMode: %s\n", SDL_GetError());
        exit(1);
    }
    return surface;
}

// A plain RGB picture (internal format 3, nearest filtering), as the game uploads its JPEGs.
GLuint makeTexture(int width, int height) {
    std::vector<unsigned char> texels(static_cast<size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            unsigned char* t = &texels[(static_cast<size_t>(y) * width + x) * 3];
            t[0] = static_cast<unsigned char>(x * 7 + y);
            t[1] = static_cast<unsigned char>(x ^ y);
            t[2] = static_cast<unsigned char>(y * 3);
        }
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, 3, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    return name;
}

struct Corner {
    float x, y, s, t;
};

void compileQuad(GLuint list, GLuint texture, const Corner (&corners)[4]) {
    glNewList(list, GL_COMPILE);
    glBindTexture(GL_TEXTURE_2D, texture);
    glBegin(GL_QUADS);
    for (const Corner& c : corners) {
        glTexCoord2f(c.s, c.t);
        glVertex2f(c.x, c.y);
    }
    glEnd();
    glEndList();
}

bool quitRequested() {
    SDL_Event event;
    while (SDL_PollEvent(&event))
        if (event.type == SDL_QUIT) return true;
    return false;
}

int drawFrames(SDL_Surface* surface) {
    glShadeModel(GL_SMOOTH);
    glEnable(GL_TEXTURE_2D);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glViewport(0, 0, surface->w, surface->h);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, VIEW, 0, FIELD, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    const GLuint background = makeTexture(256, 256);
    const GLuint panel = makeTexture(256, 1024);
    const GLuint lists = glGenLists(2);
    // The same corners and texture coordinates as the game's background and panel lists.
    compileQuad(lists, background, {{0, 0, 0, 2}, {FIELD, 0, 2, 2}, {FIELD, FIELD, 2, 0}, {0, FIELD, 0, 0}});
    compileQuad(
        lists + 1, panel,
        {{FIELD, 0, 0, 0.585533f}, {FIELD, FIELD, 0, 0}, {VIEW, FIELD, 0.780392f, 0}, {VIEW, 0, 0.780392f, 0.585533f}});
    while (!quitRequested()) {
        glLoadIdentity();
        glCallList(lists);
        glCallList(lists + 1);
        SDL_GL_SwapBuffers();
    }
    return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    const char* mode = argc > 1 ? argv[1] : "";
    if (strcmp(mode, "once") == 0) {
        openWindow();
        SDL_GL_SwapBuffers();
        return 0;
    }
    if (strcmp(mode, "frames") == 0) return drawFrames(openWindow());
    fprintf(stderr, "usage: %s once|frames\n", argv[0]);
    return 2;
}
