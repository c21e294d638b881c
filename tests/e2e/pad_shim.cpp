// Preloaded into the game: plugs SDL 2's virtual XInput-style pad in before the game starts
// (sdl12-compat runs on SDL 2) and works it by the lines written to the FIFO ZK_TEST_PAD names,
// "b N 0|1", "h V", "a N V", "unplug": one at each poll or pump, so the game sees every press and release.
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

static void* sdl2;
static void* pad;
static int padIndex, fifo = -1;

template <typename F>
static F find(const char* name, void* from = sdl2) {
    return reinterpret_cast<F>(dlsym(from, name));
}

static void feedOneLine() {
    static char text[512];
    static size_t held = 0;
    char* end = static_cast<char*>(memchr(text, '\n', held));
    if (!end) {
        const ssize_t got = read(fifo, text + held, sizeof text - 1 - held);
        held += got > 0 ? static_cast<size_t>(got) : 0;
        if (!(end = static_cast<char*>(memchr(text, '\n', held)))) return;
    }
    *end = '\0';
    char what[16];
    int a, b;
    const int n = sscanf(text, "%15s %d %d", what, &a, &b);
    if (n == 3 && what[0] == 'b') find<int (*)(void*, int, uint8_t)>("SDL_JoystickSetVirtualButton")(pad, a, b);
    if (n == 2 && what[0] == 'h') find<int (*)(void*, int, uint8_t)>("SDL_JoystickSetVirtualHat")(pad, 0, a);
    if (n == 3 && what[0] == 'a') find<int (*)(void*, int, int16_t)>("SDL_JoystickSetVirtualAxis")(pad, a, b);
    if (n == 1 && what[0] == 'u') find<int (*)(int)>("SDL_JoystickDetachVirtual")(padIndex);
    held -= static_cast<size_t>(end + 1 - text);
    memmove(text, end + 1, held);
}

static bool polling = false;  // a poll pumps too: one line for both

extern "C" void SDL_PumpEvents() {
    if (fifo >= 0 && !polling) feedOneLine();
    find<void (*)()>("SDL_PumpEvents", RTLD_NEXT)();
}

extern "C" int SDL_PollEvent(void* event) {
    if (fifo >= 0) feedOneLine();
    polling = true;
    const int taken = find<int (*)(void*)>("SDL_PollEvent", RTLD_NEXT)(event);
    polling = false;
    return taken;
}

__attribute__((constructor)) static void plugIn() {
    const char* path = getenv("ZK_TEST_PAD");
    if (!path || !(sdl2 = dlopen("libSDL2-2.0.so.0", RTLD_NOW))) return;
    find<int (*)(uint32_t)>("SDL_InitSubSystem")(0x200);  // SDL_INIT_JOYSTICK
    padIndex = find<int (*)(int, int, int, int)>("SDL_JoystickAttachVirtual")(1, 6, 11, 1);
    if ((pad = find<void* (*)(int)>("SDL_JoystickOpen")(padIndex))) fifo = open(path, O_RDONLY | O_NONBLOCK);
}
