// Stands before emscripten's SDL_opengl.h in the web build: the same header, then the calls
// that its fixed-function emulation lacks, routed to gl_web.cpp.
#pragma once
#include_next <SDL_opengl.h>
#include "gl_web.h"
