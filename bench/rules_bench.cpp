// The per-frame rule step and the sector slide, timed on the real core objects with the
// engine stubbed out (stubs.cpp).
//
// Before the timings it checks the slide's frame count: with a clock that advances by a fixed
// frame length per reading, slideToSector must draw and show ceil(600 / frame) frames (a rule
// step each, by the slide's loop). Each case prints a "CHECK ... OK" or "CHECK ... FAIL" line, and
// the program exits with status 1 after the timings when any case failed.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

#include "game/levels.h"
#include "game/rules.h"
#include "game/run.h"
#include "game/sector.h"
#include "game/state.h"
#include "replay/start.h"
#include "stubs.h"

// The game's start on a World without walls at one level, a random Board, and a new game:
// character 0 on its start tile in sector (0, 7). The seed is the session's clock reading.
static unsigned benchSeed = 0;

static void prepareGame(int level, unsigned seed) {
    resetGameState();
    for (auto& column : game.world)
        for (SectorInfo& sector : column) sector = {0, 0, static_cast<uint8_t>(level)};
    benchSeed = seed;
    startRecordableSession({nullptr, nullptr, nullptr, [] { return benchSeed; }});
    fillBoard();
    newGame();
    setLevelValues();
}

// Below the level's tick interval: items and the death test only.
static void BM_UpdateRulesNoTick(benchmark::State& state) {
    prepareGame(0, 1);
    game.tickAccumulator = 0;
    for (auto _ : state) updateRules();
    if (game.deathTimer != 0) state.SkipWithError("the player died: the case measured the wrong path");
}
BENCHMARK(BM_UpdateRulesNoTick);

// Past the interval on every call: the whole Board ages (36 tiles, their random numbers,
// refills and item rolls), then items and the death test. The Board evolves under the
// level's own rules as the calls go on; the player stays on the start tile, which every tick
// restores, so the death path is never taken.
static void BM_UpdateRulesTick(benchmark::State& state) {
    const int level = static_cast<int>(state.range(0));
    prepareGame(level, 2);
    const uint16_t pastInterval = static_cast<uint16_t>(game.levelTable[level].tickInterval + 1);
    for (auto _ : state) {
        game.tickAccumulator = pastInterval;
        updateRules();
    }
    if (game.deathTimer != 0) state.SkipWithError("the player died: the case measured the wrong path");
}
BENCHMARK(BM_UpdateRulesTick)->Arg(0)->Arg(10)->ArgName("level");

struct SlideCount {
    long long frames, swaps;
};

// One slide to the right with the clock stepping `frameMs` per reading; the rules run at
// level 0 (the World of prepareGame).
static SlideCount slideOnce(uint32_t frameMs) {
    benchClock = BenchClock();
    benchClock.step = frameMs;
    game.lastTicks = 0;
    game.tickAccumulator = 0;
    game.sectorX = 0;
    slideToSector(1, 0);
    return {benchClock.slideFrames, benchClock.swaps};
}

static long long expectedSlideFrames(uint32_t frameMs) { return (600 + frameMs - 1) / frameMs; }

// Time per whole slide, engine stubbed: what the slide costs the CPU besides drawing.
static void BM_SectorSlide(benchmark::State& state) {
    const uint32_t frameMs = static_cast<uint32_t>(state.range(0));
    prepareGame(0, 3);
    SlideCount count = {0, 0};
    for (auto _ : state) count = slideOnce(frameMs);
    state.counters["frames"] = static_cast<double>(count.frames);
    state.counters["expected"] = static_cast<double>(expectedSlideFrames(frameMs));
}
BENCHMARK(BM_SectorSlide)->Arg(3)->Arg(16)->Arg(700)->ArgName("frame_ms");

static bool checkSlides() {
    bool allOk = true;
    for (uint32_t frameMs : {1u, 3u, 7u, 16u, 17u, 33u, 599u, 600u, 601u, 700u}) {
        prepareGame(0, 4);
        const SlideCount count = slideOnce(frameMs);
        const long long expected = expectedSlideFrames(frameMs);
        const bool ok = count.frames == expected && count.swaps == expected;
        allOk = allOk && ok;
        printf("CHECK slide frame=%ums: frames=%lld swaps=%lld expected=ceil(600/%u)=%lld %s\n", frameMs, count.frames,
               count.swaps, frameMs, expected, ok ? "OK" : "FAIL");
    }
    fflush(stdout);
    return allOk;
}

int main(int argc, char** argv) {
    const bool slidesOk = checkSlides();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (!slidesOk) {
        printf("CHECK slide: FAIL (see the lines above)\n");
        return 1;
    }
    return 0;
}
