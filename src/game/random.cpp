#include "game/random.h"

#include <cstdlib>

// glibc's default generator (TYPE_3): an additive feedback generator over 31 words, taps 3
// apart, seeded by a Lehmer generator and run 310 times before the first number.
struct Glibc {
    int32_t state[31];
    int front, rear;
    Glibc() { seed(1); }  // unseeded, each generator starts as after srand(1)
    void seed(unsigned seed) {
        if (seed == 0) seed = 1;
        state[0] = static_cast<int32_t>(seed);
        int32_t word = static_cast<int32_t>(seed);
        for (int i = 1; i < 31; ++i) {
            const int64_t hi = word / 127773, lo = word % 127773;
            int64_t product = 16807 * lo - 2836 * hi;
            if (product < 0) product += 2147483647;
            word = static_cast<int32_t>(product);
            state[i] = word;
        }
        front = 3;
        rear = 0;
        for (int i = 0; i < 310; ++i) next();
    }
    int next() {
        const uint32_t sum = static_cast<uint32_t>(state[front]) + static_cast<uint32_t>(state[rear]);
        state[front] = static_cast<int32_t>(sum);
        front = front + 1 == 31 ? 0 : front + 1;
        rear = rear + 1 == 31 ? 0 : rear + 1;
        return static_cast<int>(sum >> 1);
    }
};

// Microsoft's C runtime: a 32-bit linear congruential generator giving 15 bits.
struct Msvcrt {
    uint32_t held = 1;
    void seed(unsigned seed) { held = seed; }
    int next() {
        held = held * 214013u + 2531011u;
        return static_cast<int>((held >> 16) & 0x7FFF);
    }
};

// musl, the web build's C library: a 64-bit linear congruential generator giving 31 bits.
struct Musl {
    uint64_t held = 0;
    void seed(unsigned seed) { held = seed - 1u; }
    int next() {
        held = 6364136223846793005ull * held + 1;
        return static_cast<int>(held >> 33);
    }
};

static Glibc glibc;
static Msvcrt msvcrt;
static Musl musl;

static void seedGlibc(unsigned seed) { glibc.seed(seed); }
static int drawGlibc() { return glibc.next(); }
static void seedMsvcrt(unsigned seed) { msvcrt.seed(seed); }
static int drawMsvcrt() { return msvcrt.next(); }
static void seedMusl(unsigned seed) { musl.seed(seed); }
static int drawMusl() { return musl.next(); }
static void seedOwn(unsigned seed) { srand(seed); }
static int drawOwn() { return rand(); }

// The hook every number goes through.
static void (*seeder)(unsigned) = seedOwn;
static int (*drawer)() = drawOwn;

void drawAsOwnLibrary() {
    seeder = seedOwn;
    drawer = drawOwn;
}

void drawAsBuild(Build build) {
    static const struct {
        void (*seed)(unsigned);
        int (*draw)();
    } COPIES[BUILD_COUNT] = {{seedGlibc, drawGlibc}, {seedMsvcrt, drawMsvcrt}, {seedMusl, drawMusl}};
    seeder = COPIES[build].seed;
    drawer = COPIES[build].draw;
}

void seedRandom(unsigned seed) { seeder(seed); }

int nextRandom() { return drawer(); }

void randomFingerprint(uint32_t print[4]) {
    seedRandom(1);
    for (int i = 0; i < 4; ++i) print[i] = static_cast<uint32_t>(nextRandom());
}
