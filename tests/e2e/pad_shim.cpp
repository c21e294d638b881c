// Preloaded into the game: plugs SDL 2's virtual pad in before the game starts (sdl12-compat
// runs on SDL 2) and works it from the lines written to the FIFO named by ZK_TEST_PAD:
// "b N 0|1" button, "h V" hat, "a N V" axis, "unplug".
#include <dlfcn.h>
#include <pthread.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

struct Pad;
static Pad* pad;
static int padIndex;
static int (*setButton)(Pad*, int, uint8_t), (*setHat)(Pad*, int, uint8_t), (*setAxis)(Pad*, int, int16_t);
static int (*detach)(int);

template <typename F>
static void find(void* sdl2, const char* name, F& into) {
    into = reinterpret_cast<F>(dlsym(sdl2, name));
}

static void* feed(void* path) {
    FILE* lines = fopen(static_cast<const char*>(path), "r");
    char line[64];
    int a, b;
    while (lines && fgets(line, sizeof line, lines)) {
        if (sscanf(line, "b %d %d", &a, &b) == 2)
            setButton(pad, a, static_cast<uint8_t>(b));
        else if (sscanf(line, "h %d", &a) == 1)
            setHat(pad, 0, static_cast<uint8_t>(a));
        else if (sscanf(line, "a %d %d", &a, &b) == 2)
            setAxis(pad, a, static_cast<int16_t>(b));
        else if (strncmp(line, "unplug", 6) == 0)
            detach(padIndex);
    }
    return nullptr;
}

__attribute__((constructor)) static void plugIn() {
    const char* path = getenv("ZK_TEST_PAD");
    void* sdl2 = dlopen("libSDL2-2.0.so.0", RTLD_NOW);
    if (!path || !sdl2) return;
    int (*init)(uint32_t);
    int (*attach)(int, int, int, int);
    Pad* (*open)(int);
    find(sdl2, "SDL_InitSubSystem", init);
    find(sdl2, "SDL_JoystickAttachVirtual", attach);
    find(sdl2, "SDL_JoystickOpen", open);
    find(sdl2, "SDL_JoystickSetVirtualButton", setButton);
    find(sdl2, "SDL_JoystickSetVirtualHat", setHat);
    find(sdl2, "SDL_JoystickSetVirtualAxis", setAxis);
    find(sdl2, "SDL_JoystickDetachVirtual", detach);
    init(0x200);                     // SDL_INIT_JOYSTICK
    padIndex = attach(1, 6, 11, 1);  // an XInput-style pad: 6 axes, 11 buttons, 1 hat
    pad = open(padIndex);
    pthread_t reader;
    if (pad) pthread_create(&reader, nullptr, feed, const_cast<char*>(path));
}
