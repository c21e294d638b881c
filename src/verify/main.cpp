// zembrak-verify FILE: plays a replay through the game's own rules, loops and replay code with
// nothing drawn, heard or waited for, and says in one line whether it plays to its end and the
// score it claims. A replay from any build verifies here: its random numbers come from a copy
// of the C library that recorded it (game/random.h).
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/frame_loop.h"
#include "game/engine.h"
#include "game/state.h"
#include "game/world.h"
#include "platform/program.h"
#include "render/lists.h"
#include "replay/seams.h"
#include "replay/session.h"
#include "replay/start.h"
#include "screens/title_menu.h"
#include "verdict/verdict.h"
#include "verify/judge.h"
#include "verify/shipped_world.h"

static unsigned long long frames = 0;

[[noreturn]] static void say(int status, const char* format, ...) __attribute__((format(printf, 2, 3)));

// Nothing beneath the session, whose answers all come from the tape: only the frames it shows
// are counted and judged.
static void frameShown() {
    ++frames;
    std::string why;
    if (!judgeFrame(why)) say(1, "refused: %s", why.c_str());
}

// Scores compare only on the World the game ships: the one a replay carries must be it.
static bool onShippedWorld() {
    SectorInfo played[WORLD_SIZE][WORLD_SIZE];
    memcpy(played, game.world, sizeof played);
    FILE* file = openText(SHIPPED_WORLD);
    const bool parsed = file != nullptr && parseWorld(file) == 0;
    if (file != nullptr) fclose(file);
    const bool same = parsed && memcmp(played, game.world, sizeof played) == 0;
    memcpy(game.world, played, sizeof played);
    return same;
}

static void say(int status, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    vprintf(format, arguments);
    va_end(arguments);
    putchar('\n');
    exit(fflush(stdout) == 0 ? status : 1);
}

static void finished(int status) {
    if (status != 0) say(1, "out of step: the game does not play to the end and score the replay claims");
    Verdict verdict;
    verdict.score = game.score;
    verdict.frames = static_cast<int64_t>(frames);
    verdict.library = BUILDS[sessionBuild()].library;
    verdict.version = gameVersion();
    judgeEnd(game.score, verdict);
    say(0, "%s", verdictLine(verdict).c_str());
}

static void judgeCallPlayed(const TapeCall& call) {
    std::string why;
    if (!judgeCall(call, game.score, why)) say(1, "refused: %s", why.c_str());
}

// Between the World and the seed: scores compare only on the game's own World, and the judge
// sees every call from the first, which the graphics' set-up reads.
static void checkWorldAndSetUp() {
    if (!onShippedWorld()) say(1, "refused: played on another World than the game's own");
    judgeStart(BUILDS[sessionBuild()].library, replaySeed(), reinterpret_cast<const uint8_t*>(game.world),
               sizeof game.world);
    replayCallPlayed = judgeCallPlayed;
    setUpGraphics();
}

int main(int argc, char* argv[]) {
    if (argc != 2) say(2, "usage: zembrak-verify FILE");
    EngineIo nothingBeneath;
    nothingBeneath.swapBuffers = frameShown;
    useEngineIo(nothingBeneath);
    // The session plays a replay of any build with that build's random numbers.
    std::string why;
    if (!loadReplayFile(openNamedFile(argv[1]), argv[1], SESSION_VERIFY, why)) say(1, "refused: %s", why.c_str());
    replayFinished = finished;

    // The game's own start, with the replay's World and nothing drawn.
    startRecordableSession({nullptr, nullptr, checkWorldAndSetUp, nullptr});
    fillBoard();
    GameEvent event = {};
    runTitleMenu(event);
    for (;;) runFrame();
}
