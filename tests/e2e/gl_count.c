// Put in front of libGL by tests/e2e/lib_exit.sh: counts the texture names and display lists
// the game holds and the deletes of names it does not hold, into $ZK_GL_COUNTS.
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

typedef unsigned int GLuint;
typedef int GLsizei;
enum { MAX_NAME = 1 << 20 };
static unsigned char texture_held[MAX_NAME], list_held[MAX_NAME];
static long textures, lists, foreign_deletes;

static void report(void) {
    static int fd = -2;
    if (fd == -2) {
        const char* path = getenv("ZK_GL_COUNTS");
        fd = path ? open(path, O_WRONLY | O_CREAT | O_TRUNC, 0644) : -1;
    }
    char line[64];
    int length = snprintf(line, sizeof line, "%10ld %10ld %10ld\n", textures, lists, foreign_deletes);
    if (fd >= 0 && pwrite(fd, line, length, 0) != length) fd = -1;
}

static void hold(unsigned char* held, long* count, GLuint name) {
    if (name == 0 || name >= MAX_NAME) return;
    if (!held[name]) ++*count;
    held[name] = 1;
}

static void release(unsigned char* held, long* count, GLuint name, int strict) {
    if (name == 0) return;
    if (name < MAX_NAME && held[name]) {
        held[name] = 0;
        --*count;
    } else if (strict) {
        ++foreign_deletes;
    }
}

void glGenTextures(GLsizei n, GLuint* names) {
    static void (*real)(GLsizei, GLuint*);
    if (!real) real = (void (*)(GLsizei, GLuint*))dlsym(RTLD_NEXT, "glGenTextures");
    real(n, names);
    for (GLsizei i = 0; i < n; ++i) hold(texture_held, &textures, names[i]);
    report();
}

void glDeleteTextures(GLsizei n, const GLuint* names) {
    static void (*real)(GLsizei, const GLuint*);
    if (!real) real = (void (*)(GLsizei, const GLuint*))dlsym(RTLD_NEXT, "glDeleteTextures");
    for (GLsizei i = 0; i < n; ++i) release(texture_held, &textures, names[i], 1);
    real(n, names);
    report();
}

GLuint glGenLists(GLsizei range) {
    static GLuint (*real)(GLsizei);
    if (!real) real = (GLuint(*)(GLsizei))dlsym(RTLD_NEXT, "glGenLists");
    GLuint base = real(range);
    for (GLsizei i = 0; base != 0 && i < range; ++i) hold(list_held, &lists, base + i);
    report();
    return base;
}

void glDeleteLists(GLuint list, GLsizei range) {
    static void (*real)(GLuint, GLsizei);
    if (!real) real = (void (*)(GLuint, GLsizei))dlsym(RTLD_NEXT, "glDeleteLists");
    for (GLsizei i = 0; i < range; ++i) release(list_held, &lists, list + i, 0);
    real(list, range);
    report();
}
