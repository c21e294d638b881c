// Recorded games played again through the real loops (frame loop, menu, end screen, waits)
// with drawing and SDL replaced: the stored replays reach their stored end, the best game is
// kept with its score, and bad files are refused.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <deque>
#include <functional>
#include <memory>
#include <random>
#include <string>

#include "app/frame_loop.h"
#include "audio/sound.h"
#include "game/engine.h"
#include "game/frame_clock.h"
#include "game/levels.h"
#include "game/random.h"
#include "game/state.h"
#include "game/world.h"
#include "persist/best_score.h"
#include "platform/display.h"
#include "platform/sdl_io.h"
#include "render/lists.h"
#include "render/scene.h"
#include "replay/seams.h"
#include "replay/session.h"
#include "replay/session_test_hooks.h"
#include "replay/start.h"
#include "replay/tape.h"
#include "screens/title_menu.h"
#include "temp_folder.h"
#include "verdict/verdict.h"

// --- the engine around the loops -------------------------------------------------------------

// Drawing and sound are the verifier's nothing (src/verify/no_engine.cpp).

namespace {

struct Timed {
    uint32_t at;
    SDL_Event event;
};

// SDL as the recording saw it: a clock that moves a frame at every swap (and a millisecond a
// reading in loops that spin without drawing), queued events let through at their time, and a
// player (`decide`) asked for a key whenever the queue is empty.
struct ScriptedSdl {
    uint32_t clock = 0;
    uint32_t frame = 4;
    int readingsSinceSwap = 0;
    std::deque<Timed> queue;
    std::function<void(ScriptedSdl&)> decide;
    std::function<bool()> stop;  // ends the recording before the engine answers
    char answering = 0;          // the call being answered: 't' clock, 'p' poll, 'w' wait
};
ScriptedSdl sdl;

struct Stopped {};
struct ReplayEnd {
    int status;
};

SDL_Event keyDown(SDLKey key, int mod = 0) {
    SDL_Event event = {};
    event.type = SDL_KEYDOWN;
    event.key.keysym.sym = key;
    event.key.keysym.mod = static_cast<SDLMod>(mod);
    return event;
}

SDL_Event focus(int gain) {
    SDL_Event event = {};
    event.type = SDL_ACTIVEEVENT;
    event.active.gain = static_cast<Uint8>(gain);
    event.active.state = SDL_APPINPUTFOCUS;
    return event;
}

void checkStop() {
    if (sdl.stop && sdl.stop()) throw Stopped{};
}

}  // namespace

uint32_t sdlTicks() {
    sdl.answering = 't';
    checkStop();
    if (++sdl.readingsSinceSwap > 4) sdl.clock += 1;
    return sdl.clock;
}

int sdlPollEvent(SDL_Event* event) {
    sdl.answering = 'p';
    checkStop();
    if (sdl.queue.empty() && sdl.decide) sdl.decide(sdl);
    if (sdl.queue.empty() || sdl.queue.front().at > sdl.clock) return 0;
    *event = sdl.queue.front().event;
    sdl.queue.pop_front();
    return 1;
}

// The end screen and the pause wait here: the next queued event, else Space.
int sdlWaitEvent(SDL_Event* event) {
    sdl.answering = 'w';
    checkStop();
    if (sdl.queue.empty()) sdl.queue.push_back({sdl.clock + 700, keyDown(SDLK_SPACE)});
    if (static_cast<int32_t>(sdl.queue.front().at - sdl.clock) > 0) sdl.clock = sdl.queue.front().at;
    *event = sdl.queue.front().event;
    sdl.queue.pop_front();
    return 1;
}

void sdlWaitForEventUntil(uint32_t deadline) {
    uint32_t wake = deadline;
    if (!sdl.queue.empty() && sdl.queue.front().at < wake) wake = sdl.queue.front().at;
    if (static_cast<int32_t>(wake - sdl.clock) > 0) sdl.clock = wake;
}

void sdlSwapBuffers() {
    sdl.clock += sdl.frame;
    sdl.readingsSinceSwap = 0;
}
void sdlDelay(uint32_t) {}
// Beneath the session in every test here, from the start.
static const bool scriptedBeneath =
    (useEngineIo({sdlTicks, sdlPollEvent, sdlWaitEvent, sdlWaitForEventUntil, sdlSwapBuffers, sdlDelay}), true);

namespace {

// The game ends the process on a quit; inside a test that must not pass for success.
bool insideGame = false;
void failIfInsideGame() {
    if (!insideGame) return;
    fputs("the game ended the test process\n", stderr);
    _Exit(1);
}

// main's sequence, with the start-up steps that reach the engine.
void runSession(uint32_t clockSeed) {
    static const int guard = atexit(failIfInsideGame);
    (void)guard;
    insideGame = true;
    resetGameState();
    game.fullscreen = 0;
    static uint32_t seed;
    seed = clockSeed;
    startRecordableSession({nullptr, ZK_DATA_DIR "/world.txt", setUpGraphics, [] { return seed; }});
    fillBoard();
    GameEvent event = {};
    runTitleMenu(event);
    for (;;) runFrame();
}

uint32_t boardHash() {
    uint32_t hash = 2166136261u;
    for (auto& column : game.board)
        for (Tile& tile : column)
            for (int32_t value : {tile.stage, tile.growth}) hash = (hash ^ static_cast<uint32_t>(value)) * 16777619u;
    return hash;
}

// What a stored replay must end with: score, lives, run, Sector, tile and the Board.
std::string finalState() {
    char text[256];
    snprintf(text, sizeof text, "score %u\nlives %d\ncharacter %d\nsector %d %d\nplayer %d %d\nboard %08x\n",
             game.score, game.lives, game.character, game.sectorX, game.sectorY, game.playerX, game.playerY,
             boardHash());
    return text;
}

void countingFinish(int status) { throw ReplayEnd{status}; }

// Plays a replay file to its end; returns the exit status the program would have.
int replay(const std::string& path, std::string* state = nullptr) {
    resetSession();
    std::string why;
    if (!loadReplay(path.c_str(), SESSION_TIMEDEMO, why)) {
        ADD_FAILURE() << path << ": " << why;
        return -1;
    }
    replayFinished = countingFinish;
    sdl = ScriptedSdl();
    try {
        runSession(0);
    } catch (const ReplayEnd& end) {
        insideGame = false;
        if (state != nullptr) *state = finalState();
        return end.status;
    }
    return -1;
}

// Records a session played by `decide` until `stop`; returns the tape.
std::vector<uint8_t> record(std::function<void(ScriptedSdl&)> decide, std::function<bool()> stop, uint32_t frame = 4) {
    resetSession();
    sdl = ScriptedSdl();
    sdl.frame = frame;
    sdl.decide = decide;
    sdl.stop = stop;
    try {
        runSession(1234);
    } catch (const Stopped&) {
        insideGame = false;
    }
    sdl.stop = nullptr;
    return recordedTape();
}

// --- a player for the recordings ---------------------------------------------------------------

const int STEP_X[4] = {1, 0, -1, 0};
const int STEP_Y[4] = {0, -1, 0, 1};
const SDLKey ARROW[4] = {SDLK_RIGHT, SDLK_DOWN, SDLK_LEFT, SDLK_UP};

bool deadly(int x, int y) {
    const int stage = game.board[x][y].stage;
    return stage == STAGE_HOLE || stage == STAGE_CRUMBLING;
}

bool safe(int x, int y) { return !deadly(x, y) && game.board[x][y].stage < 9; }

// A step towards `way`, over the edge when it leads there, else round what would give way.
void walk(ScriptedSdl& s, int way) {
    for (int d : {way, int(DIR_UP), int(DIR_DOWN), (way + 2) % 4}) {
        const int x = game.playerX + STEP_X[d], y = game.playerY + STEP_Y[d];
        const bool onBoard = x >= 0 && x < BOARD_SIZE && y >= 0 && y < BOARD_SIZE;
        if (onBoard ? safe(x, y) : d == way) {
            s.queue.push_back({s.clock, keyDown(ARROW[d])});
            return;
        }
    }
}

// Crosses `crossings` Sectors to the right, then walks into holes until the run is over; with
// `laterRunsWalk` the later characters walk left instead. A key every 150 ms at most.
struct Player {
    int crossings;
    bool laterRunsWalk;
    bool started = false;
    uint32_t nextKey = 0;
    int crossed = 0;
    int lastSectorX = -1;
    void operator()(ScriptedSdl& s) {
        if (s.clock < nextKey) return;
        nextKey = s.clock + 150;
        if (!started) {
            started = true;
            s.queue.push_back({s.clock, keyDown(SDLK_RETURN)});
            return;
        }
        if (lastSectorX >= 0 && game.sectorX != lastSectorX) ++crossed;
        lastSectorX = game.sectorX;
        if (game.deathTimer != 0) return;
        if ((game.character > 0 && laterRunsWalk) || (game.character == 0 && crossed < crossings)) {
            walk(s, game.character > 0 ? DIR_LEFT : DIR_RIGHT);
            return;
        }
        for (int d = 0; d < 4; ++d) {
            const int x = game.playerX + STEP_X[d], y = game.playerY + STEP_Y[d];
            if (x >= 0 && x < BOARD_SIZE && y >= 0 && y < BOARD_SIZE && deadly(x, y)) {
                s.queue.push_back({s.clock, keyDown(ARROW[d])});
                return;
            }
        }
        // The entry tile never falls: leave it and wait for the floor to go.
        if (game.playerX == game.respawnX && game.playerY == game.respawnY) walk(s, DIR_RIGHT);
    }
};

// The stored replays: how each was played.
struct StoredReplay {
    const char* name;
    std::function<std::vector<uint8_t>()> make;
};

std::vector<uint8_t> crossDieAndGoOn() {
    Player player{2, true};
    uint32_t secondRunFrom = 0;
    bool interrupted = false;
    return record(
        [&player, &interrupted](ScriptedSdl& s) {
            // A pause in play, the frame-rate display, and the menu opened and closed.
            if (player.crossed == 1 && !interrupted && game.deathTimer == 0) {
                interrupted = true;
                s.queue.push_back({s.clock, focus(0)});
                s.queue.push_back({s.clock + 900, focus(1)});
                s.queue.push_back({s.clock + 1000, keyDown(SDLK_f)});
                s.queue.push_back({s.clock + 1200, keyDown(SDLK_ESCAPE)});
                s.queue.push_back({s.clock + 1500, keyDown(SDLK_ESCAPE)});
                return;
            }
            player(s);
        },
        [&secondRunFrom]() {
            if (game.character == 1 && secondRunFrom == 0) secondRunFrom = sdl.clock;
            return secondRunFrom != 0 && sdl.clock > secondRunFrom + 4000;
        });
}

std::vector<uint8_t> shortWalk() {
    Player player{1, true};
    return record(std::ref(player), []() { return sdl.clock > 6000; });
}

// The frame benchmark's minute (bench/run_timedemo.sh) at 60 frames a second: three crossings
// with their slides, five falls, the end screen, then the second character on the way.
std::vector<uint8_t> benchMinute() {
    Player player{3, true};
    return record(
        std::ref(player), []() { return sdl.clock > 60000; }, 16);
}

const StoredReplay STORED[] = {
    {"cross_die_and_go_on", crossDieAndGoOn},
    {"short_walk", shortWalk},
    {"bench_minute", benchMinute},
};

std::string storedPath(const char* name, const char* extension) {
    return std::string(ZK_SOURCE_DIR "/tests/replays/") + name + extension;
}

// A stored replay as this version's: a new version number alone does not change play, and the
// stored games keep testing the rules until play itself changes. `change` edits its header.
std::string asThisVersion(const char* name, std::function<void(TapeHeader&)> change = nullptr) {
    const std::string stored = readFile(storedPath(name, ".replay"));
    const auto* bytes = reinterpret_cast<const uint8_t*>(stored.data());
    TapeHeader header;
    const uint8_t* body;
    size_t bodyLength;
    std::string why;
    const uint32_t none[4] = {};
    decodeTape(bytes, stored.size(), "", none, header, body, bodyLength, why);  // reads what it names
    const TapeHeader named = header;
    if (!decodeTape(bytes, stored.size(), named.version, named.randPrint, header, body, bodyLength, why)) {
        ADD_FAILURE() << name << ": " << why;
        return "";
    }
    header.version = gameVersion();
    if (change) change(header);
    const std::vector<uint8_t> file = encodeTape(header, body, bodyLength);
    const std::string path = std::string("/tmp/zk-replay-") + std::to_string(getpid()) + "-" + name;
    writeFile(path, std::string(file.begin(), file.end()));
    return path;
}

// Makes the stored replays anew (after a change that plays differently, on purpose):
// unit_tests --gtest_also_run_disabled_tests --gtest_filter='*MakeStoredReplays*'
TEST(StoredReplays, DISABLED_MakeStoredReplays) {
    for (const StoredReplay& stored : STORED) {
        const std::vector<uint8_t> tape = stored.make();
        writeFile(storedPath(stored.name, ".replay"), std::string(tape.begin(), tape.end()));
        writeFile(storedPath(stored.name, ".expected"), finalState());
        printf("%s: %zu bytes\n%s", stored.name, tape.size(), finalState().c_str());
    }
}

TEST(StoredReplays, PlayToTheirStoredEnd) {
    for (const StoredReplay& stored : STORED) {
        SCOPED_TRACE(stored.name);
        std::string state;
        const std::string path = asThisVersion(stored.name);
        EXPECT_EQ(replay(path, &state), 0);
        remove(path.c_str());
        EXPECT_EQ(state, readFile(storedPath(stored.name, ".expected")));
    }
}

// --- the verifier ------------------------------------------------------------------------------

// The first numbers after srand as the real C libraries gave them: glibc here, Microsoft's C
// runtime in a mingw build under Wine, the web build's in node.
const struct {
    Build build;
    unsigned seed;
    int first[4];
} REAL_RAND[] = {
    {BUILD_LINUX, 1, {1804289383, 846930886, 1681692777, 1714636915}},
    {BUILD_LINUX, 0x80000000u, {1336741213, 1210407648, 1447044896, 337392383}},
    {BUILD_LINUX, 0xFFFFFFFFu, {254925627, 1205188300, 366127624, 1401405153}},
    {BUILD_WINDOWS, 1, {41, 18467, 6334, 26500}},
    {BUILD_WINDOWS, 12345, {7584, 19164, 25795, 22125}},
    {BUILD_WINDOWS, 0xFFFFFFFFu, {35, 29739, 3374, 11141}},
    {BUILD_WEB, 1, {0, 740882966, 1616430695, 1708849955}},
    {BUILD_WEB, 0, {2049033599, 2025915578, 1407788582, 829275321}},
    {BUILD_WEB, 0x80000000u, {654075316, 2019367231, 392158185, 1288768821}},
};

TEST(Verifier, CarriesEachBuildsRandomNumbers) {
    for (const auto& real : REAL_RAND) {
        SCOPED_TRACE(std::string(BUILDS[real.build].library) + " " + std::to_string(real.seed));
        drawAsBuild(real.build);
        seedRandom(real.seed);
        for (int first : real.first) EXPECT_EQ(nextRandom(), first);
    }
    drawAsBuild(BUILD_LINUX);  // far along, against this program's own glibc
    for (unsigned seed : {7u, 1234567u, 0x9E3779B9u}) {
        srand(seed);
        seedRandom(seed);
        int differing = 0;
        for (int i = 0; i < 100000; ++i) differing += rand() != nextRandom();
        EXPECT_EQ(differing, 0) << seed;
    }
}

// The verifier's output for a file; `status` its exit status.
std::string verify(const std::string& path, int& status) {
    FILE* out = popen((ZK_VERIFY " '" + path + "' 2>/dev/null").c_str(), "r");
    std::string line;
    char chunk[256];
    while (out != nullptr && fgets(chunk, sizeof chunk, out) != nullptr) line += chunk;
    status = out != nullptr ? pclose(out) : -1;
    status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return line;
}

// Replays of every build verify on Linux to the score the game showed, in as many frames.
TEST(Verifier, ReplaysOfEveryBuildVerifyToTheirScores) {
    const struct {
        const char* name;
        const char* library;
    } cases[] = {{"cross_die_and_go_on", "glibc"},
                 {"short_walk", "glibc"},
                 {"bench_minute", "glibc"},
                 {"windows_game", "msvcrt"},
                 {"web_game", "emscripten"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        unsigned long long frames = 0;
        const std::string path = asThisVersion(c.name, [&frames](TapeHeader& h) { frames = h.swaps; });
        const std::string expected = readFile(storedPath(c.name, ".expected"));
        const std::string score = expected.substr(6, expected.find('\n') - 6);  // "score N" first
        int status;
        Verdict verdict;
        const std::string line = verify(path, status);
        ASSERT_TRUE(parseVerdict(line, verdict)) << line;
        EXPECT_EQ(std::to_string(verdict.score), score);
        EXPECT_EQ(verdict.frames, static_cast<int64_t>(frames));
        EXPECT_EQ(verdict.library, c.library);
        EXPECT_EQ(verdict.version, gameVersion());
        EXPECT_EQ(status, 0);
        remove(path.c_str());
    }
}

// Edited to claim what it does not play, its checksum made whole again, a replay is refused or
// verifies to what it plays.
TEST(Verifier, EditedReplaysAreRefusedOrVerifyToWhatTheyPlay) {
    const struct {
        const char* name;
        std::function<void(TapeHeader&)> edit;
        const char* line;
    } cases[] = {
        {"a higher score", [](TapeHeader& h) { h.finalScore += 1000; }, "out of step"},
        {"a score one lower", [](TapeHeader& h) { h.finalScore -= 1; }, "out of step"},
        {"a frame more", [](TapeHeader& h) { h.swaps += 1; }, "out of step"},
        {"another seed", [](TapeHeader& h) { h.seed += 1; }, "out of step"},
        {"an easier first Sector", [](TapeHeader& h) { h.world[23] = 0; }, "refused: played on another World"},
        {"no walls",
         [](TapeHeader& h) {
             for (int i = 0; i < 192; i += 3) h.world[i] = h.world[i + 1] = 0;
         },
         "refused: played on another World"},
        {"Windows' random numbers", [](TapeHeader& h) { memcpy(h.randPrint, REAL_RAND[3].first, 16); }, "out of step"},
        {"the web's", [](TapeHeader& h) { memcpy(h.randPrint, REAL_RAND[6].first, 16); }, "out of step"},
        {"an unknown C library's", [](TapeHeader& h) { h.randPrint[3] ^= 1; }, "refused: made with another C library"},
        // Near-copies: the same game under the same key.
        {"a higher best score shown", [](TapeHeader& h) { h.bestScore += 5000; }, "verified: score 314,"},
        {"watched from elsewhere", [](TapeHeader& h) { h.watchFrom = h.calls / 2; }, "verified: score 314,"},
        {"full screen", [](TapeHeader& h) { h.fullscreen = 1; }, "verified: score 314,"},
    };
    int status;
    Verdict original, copy;
    const std::string unedited = asThisVersion("short_walk");
    ASSERT_TRUE(parseVerdict(verify(unedited, status), original));
    remove(unedited.c_str());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = asThisVersion("short_walk", c.edit);
        const std::string line = verify(path, status);
        EXPECT_EQ(line.rfind(c.line, 0), 0u) << line;
        EXPECT_EQ(status, line.rfind("verified", 0) == 0 ? 0 : 1);
        EXPECT_TRUE(status != 0 || (parseVerdict(line, copy) && copy.gameKey == original.gameKey)) << line;
        remove(path.c_str());
    }
}

// A tape with `ops` added to its body, as many calls more in its header.
std::vector<uint8_t> appended(const std::vector<uint8_t>& tape, const std::string& ops, uint64_t calls) {
    TapeHeader header;
    const uint8_t* body;
    size_t length;
    std::string why;
    uint32_t print[4];
    randFingerprint(print);
    if (!decodeTape(tape.data(), tape.size(), gameVersion(), print, header, body, length, why)) ADD_FAILURE() << why;
    std::string bytes(reinterpret_cast<const char*>(body), length);
    bytes += ops;
    header.calls += calls;
    return encodeTape(header, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

// Bots with the game's own recorder, and copies of one game: a machine or a player faster than
// people are is refused, saying where; a tape out of proportion stops at once; the same game
// keeps its key whatever follows it.
TEST(Verifier, PlayFasterThanAPersonIsRefusedAndAGameKeepsItsKey) {
    auto polls = std::make_shared<int>(0);
    // The clock moves 1 ms in `every` polls (one a frame), or never; `bot` walks whenever it moved.
    auto clockBot = [polls](int every, bool bot) {
        *polls = 0;
        return [polls, every, bot, player = Player{2, true}, walked = 0u](ScriptedSdl& s) mutable {
            if (every > 0 && ++*polls % every == 0) s.clock += 1;
            if (!bot || !player.started || game.deathTimer != 0) return player(s);
            if (s.clock != walked) walk(s, DIR_RIGHT);
            walked = s.clock;
        };
    };
    const std::string x("\x02\x78\x00", 3);  // the key x pressed, which the menu and a pause ignore
    // A game played to its end, stopped as the menu shows, and again with more of the menu.
    const std::vector<uint8_t> ended = record(Player{0, false}, [] { return game.bestScore > 0 && game.lives == 0; });
    const uint32_t endedAt = sdl.clock;
    const struct {
        const char* name;
        std::function<std::vector<uint8_t>()> make;
        const char* says;
    } cases[] = {
        {"a person at 500 frames a second",
         [] {
             return record(
                 Player{2, true}, [] { return sdl.clock > 8000; }, 2);
         },
         "verified"},
        {"a fast machine's 0 ms frames, 4000 a second",
         [&] {
             return record(
                 clockBot(4, false), [] { return sdl.clock > 8000; }, 0);
         },
         "verified"},
        {"the same person, each key let go",
         [] {
             return record(
                 [player = Player{2, true}](ScriptedSdl& s) mutable {
                     const size_t queued = s.queue.size();
                     player(s);
                     if (s.queue.size() == queued) return;
                     Timed up = s.queue.back();
                     up.event.type = SDL_KEYUP;
                     s.queue.push_back(up);
                 },
                 [] { return sdl.clock > 8000; }, 2);
         },
         "verified"},
        {"a person's fastest tapping, 16 keys a second",
         [] {
             return record(
                 [due = 0u, started = false](ScriptedSdl& s) mutable {
                     if (s.clock < due) return;
                     due = s.clock + 60;
                     if (!started) s.queue.push_back({s.clock, keyDown(SDLK_RETURN)});
                     if (started && game.deathTimer == 0) walk(s, DIR_RIGHT);
                     started = true;
                 },
                 [] { return sdl.clock > 6000; }, 2);
         },
         "verified"},
        {"a frozen clock",
         [&] {
             return record(
                 clockBot(0, false), [polls] { return ++*polls > 5000; }, 0);
         },
         "refused: faster than a person's machine: 200 frames in 0 ms"},
        {"a crawling clock, 1 ms in 50 frames",
         [&] {
             return record(
                 clockBot(50, false), [] { return sdl.clock > 500; }, 0);
         },
         "refused: faster than a person's machine: 200 frames in"},
        {"a key in every 16 ms frame",
         [&] {
             return record(
                 clockBot(0, true), [] { return sdl.clock > 4000; }, 16);
         },
         "refused: faster than a person: more than 30 key presses"},
        {"2^32 presses the menu ignores",
         [&] {
             return appended(record(nullptr, [] { return sdl.answering == 'p'; }),
                             "\x82" + x + "\x84\xff\xff\xff\xff\x0f", 1ull << 32);
         },
         "refused: faster than a person: more than 30 key presses in one second of the replay's clock, at frame"},
        {"2^32 presses a pause ignores",
         [&] {
             auto lost = std::make_shared<bool>(false);
             const auto tape = record(
                 [lost](ScriptedSdl& s) {
                     if (!*lost) s.queue.push_back({s.clock + 500, focus(0)});
                     *lost = true;
                 },
                 [] { return sdl.answering == 'w'; });
             return appended(tape, "\x83" + x + "\x84\xff\xff\xff\xff\x0f", 1ull << 32);
         },
         "refused: out of proportion: more than 1000000 calls in a row while the replay's clock stands still"},
        {"a game that ended", [&] { return ended; }, "verified"},
        {"the same game, with more of the menu after it",
         [&] {
             return record(Player{0, false}, [endedAt] { return sdl.clock > endedAt + 3000; });
         },
         "verified"},
    };
    Verdict verdicts[sizeof cases / sizeof cases[0]];
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        SCOPED_TRACE(cases[i].name);
        const std::vector<uint8_t> tape = cases[i].make();
        const std::string path = "/tmp/zk-forged-" + std::to_string(getpid());
        writeFile(path, std::string(tape.begin(), tape.end()));
        int status;
        const auto started = std::chrono::steady_clock::now();
        const std::string line = verify(path, status);
        remove(path.c_str());
        printf("%s: %s", cases[i].name, line.c_str());
        EXPECT_NE(line.find(cases[i].says), std::string::npos) << line;
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));  // not the 70 s of old
        EXPECT_TRUE(status != 0 || parseVerdict(line, verdicts[i])) << line;
    }
    EXPECT_EQ(verdicts[2].gameKey, verdicts[0].gameKey) << "the same game with its keys let go";
    EXPECT_EQ(verdicts[2].frames, verdicts[0].frames);
    const Verdict &game = verdicts[9], &more = verdicts[10];
    EXPECT_GT(game.score, 0);
    EXPECT_GT(more.frames, game.frames);
    EXPECT_EQ(more.score, game.score);
    EXPECT_EQ(more.gameKey, game.gameKey);
}

// --- the best game ------------------------------------------------------------------------------

// Keys one after another, 150 ms apart; SDLK_UNKNOWN is a safe step rightwards.
std::function<void(ScriptedSdl&)> keys(std::vector<SDLKey> list) {
    auto next = std::make_shared<size_t>(0);
    auto due = std::make_shared<uint32_t>(300);
    return [list, next, due](ScriptedSdl& s) {
        if (*next >= list.size() || s.clock < *due || game.deathTimer != 0) return;
        *due = s.clock + 150;
        const SDLKey key = list[(*next)++];
        if (key == SDLK_UNKNOWN)
            walk(s, DIR_RIGHT);
        else
            s.queue.push_back({s.clock, keyDown(key)});
    };
}

struct BestGameTest : TempFolderTest {
    // Records, raises the best score at exit as the shutdown does, and saves as it does.
    uint32_t playAndSave(std::function<void(ScriptedSdl&)> decide, std::function<bool()> stop, bool atExit) {
        record(decide, stop);
        if (atExit && game.score > game.bestScore) game.bestScore = game.score;
        saveBestScore(game.bestScore, bestGameTape(game.bestScore));
        return game.bestScore;
    }
};

// However the best game ended, the replay saved with the best score plays to that score.
TEST_F(BestGameTest, TheReplayOnFileReachesTheScoreOnFile) {
    auto menuAfterGame = std::make_shared<uint32_t>(0);
    const struct {
        const char* name;
        std::function<void(ScriptedSdl&)> decide;
        std::function<bool()> stop;
        bool atExit;
    } cases[] = {
        {"three runs into holes, then the menu a while", Player{0, false},
         [menuAfterGame]() {
             if (game.bestScore > 0 && *menuAfterGame == 0) *menuAfterGame = sdl.clock;
             return *menuAfterGame != 0 && sdl.clock > *menuAfterGame + 3000;
         },
         false},
        {"a game left for a new one",
         keys({SDLK_RETURN, SDLK_UNKNOWN, SDLK_UNKNOWN, SDLK_UNKNOWN, SDLK_UNKNOWN, SDLK_ESCAPE, SDLK_DOWN, SDLK_RETURN,
               SDLK_UNKNOWN}),
         []() { return sdl.clock > 6000; }, false},
        {"a game still going at exit", keys({SDLK_RETURN, SDLK_UNKNOWN, SDLK_UNKNOWN, SDLK_UNKNOWN}),
         []() { return sdl.clock > 4000; }, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        remove("data/best.replay");
        remove("data/hiscore.txt");
        const uint32_t best = playAndSave(c.decide, c.stop, c.atExit);
        ASSERT_GT(best, 0u);
        ASSERT_EQ(replay("data/best.replay"), 0);
        EXPECT_EQ(game.score, best);
    }
}

// A best score from elsewhere (another copy of the game wrote a higher one) keeps its own replay;
// a higher score this session has no game of goes without the old one's.
TEST_F(BestGameTest, NoReplayForAScoreThatIsNotThisSessions) {
    writeFile("data/best.replay", "the other game's");
    record(keys({SDLK_RETURN, SDLK_UNKNOWN, SDLK_UNKNOWN}), []() { return sdl.clock > 3000; });
    game.bestScore = game.score;
    writeFile("data/hiscore.txt", std::to_string(game.score + 1000));
    saveBestScore(game.score + 1000, bestGameTape(game.score + 1000));
    EXPECT_EQ(readFile("data/best.replay"), "the other game's");
    saveBestScore(game.score + 2000, bestGameTape(game.score + 2000));
    EXPECT_NE(access("data/best.replay", F_OK), 0);
}

// --- the file ------------------------------------------------------------------------------------

// Ten minutes of play as the engine answers it: frames of 1..3 ms (about 500 a second) or of
// 16..17 ms (a 60 Hz display), a key and its release every 80 ms or so.
std::vector<TapeCall> tenMinutes(int shortestFrame, int longestFrame) {
    std::vector<TapeCall> calls;
    uint32_t clock = 1000, seed = 7, nextKey = 1000;
    auto ticks = [&calls, &clock](uint32_t step) {
        clock += step;
        TapeCall call = {};
        call.kind = CALL_TICKS;
        call.ticks = clock;
        calls.push_back(call);
    };
    while (clock < 1000 + 600000) {
        seed = seed * 1103515245 + 12345;
        ticks(shortestFrame + (seed >> 16) % (longestFrame - shortestFrame + 1));
        TapeCall poll = {};
        poll.kind = CALL_POLL;
        if (clock >= nextKey) {
            nextKey = clock + 70 + (seed >> 20) % 20;
            poll.event.type = (seed >> 8) % 2 ? SDL_KEYDOWN : SDL_KEYUP;
            poll.event.sym = static_cast<uint16_t>(SDLK_UP + (seed >> 12) % 4);
        }
        calls.push_back(poll);
        ticks(0);
    }
    return calls;
}

TEST(ReplayFile, TenMinutesTakeWellUnderAMegabyte) {
    for (const auto& rate : {std::make_pair(1, 3), std::make_pair(16, 17)}) {
        SCOPED_TRACE(rate.first);
        const std::vector<TapeCall> calls = tenMinutes(rate.first, rate.second);
        TapeWriter writer;
        for (const TapeCall& call : calls) writer.add(call);
        writer.flush();
        EXPECT_LT(writer.body().size(), 512u * 1024);
        printf("ten minutes of %d..%d ms frames: %zu calls in %zu bytes\n", rate.first, rate.second, calls.size(),
               writer.body().size());
    }
}

// Numbers at every edge of their encoding: a frame's two deltas, a short clock step, each
// length of a varint, the widest values. The first 19 fit 32 bits.
const uint64_t EDGES[] = {0,         1,          3,          4,          31,         32,         63,
                          64,        127,        128,        16383,      16384,      0x1FFFFF,   0x200000,
                          0xFFFFFFF, 0x10000000, 0x7FFFFFFF, 0xFFFFFFFE, 0xFFFFFFFF, 1ull << 35, ~0ull};

bool sameCall(const TapeCall& a, const TapeCall& b) {
    return a.kind == b.kind && a.ticks == b.ticks && a.event.type == b.event.type && a.event.sym == b.event.sym &&
           a.event.mod == b.event.mod && a.event.gain == b.event.gain && a.event.state == b.event.state;
}

// A random session of edge numbers and small ones: frames, events of every type with what the
// format keeps of them, and runs of the same call.
std::vector<TapeCall> randomSession(std::mt19937_64& rng) {
    auto pick = [&rng](uint64_t most) { return std::min<uint64_t>(rng() % 2 ? EDGES[rng() % 21] : rng() % 40, most); };
    std::vector<TapeCall> calls;
    uint32_t clock = static_cast<uint32_t>(pick(0xFFFFFFFF));
    // The clock never wraps: a file whose clock runs past 32 bits is refused as made to run forever.
    auto ticks = [&clock](uint64_t step) {
        TapeCall call = {};
        call.kind = CALL_TICKS;
        call.ticks = clock += static_cast<uint32_t>(std::min<uint64_t>(step, 0xFFFFFFFFu - clock));
        return call;
    };
    for (int n = static_cast<int>(rng() % 200); n > 0; --n) {
        if (rng() % 3 == 0) {
            for (const TapeCall& call : {ticks(pick(40)), TapeCall{CALL_POLL, 0, {}}, ticks(pick(5))})
                calls.push_back(call);
            continue;
        }
        TapeCall call = rng() % 2 ? ticks(pick(0xFFFFFFFF)) : TapeCall{rng() % 2 ? CALL_POLL : CALL_WAIT, 0, {}};
        if (call.kind != CALL_TICKS) call.event.type = static_cast<uint8_t>(rng() % 2 ? rng() % 5 : rng() % 256);
        if (call.event.type == SDL_KEYDOWN || call.event.type == SDL_KEYUP) {
            call.event.sym = static_cast<uint16_t>(pick(0xFFFF));
            call.event.mod = static_cast<uint16_t>(pick(0xFFFF));
        } else if (call.event.type == SDL_ACTIVEEVENT) {
            call.event.gain = static_cast<uint8_t>(pick(0xFF));
            call.event.state = static_cast<uint8_t>(pick(0xFF));
        }
        for (uint64_t again = rng() % 16 ? 1 : pick(16400) + 1; again > 0; --again) calls.push_back(call);
    }
    return calls;
}

// Random sessions come back from their file call for call, header field for header field.
TEST(ReplayFile, RandomSessionsWithEveryEdgeNumberReadBackTheSame) {
    std::mt19937_64 rng(28);
    for (int round = 0; round < 300; ++round) {
        SCOPED_TRACE(round);
        const std::vector<TapeCall> calls = randomSession(rng);
        TapeWriter writer;
        for (const TapeCall& call : calls) writer.add(call);
        writer.flush();
        TapeHeader header;
        header.version.assign(rng() % 256, static_cast<char>('0' + rng() % 10));
        for (uint32_t& value : header.randPrint) value = static_cast<uint32_t>(EDGES[rng() % 19]);
        header.seed = static_cast<uint32_t>(EDGES[rng() % 19]);
        header.fullscreen = rng() % 2;
        for (int k = 0; k < 192; ++k) header.world[k] = static_cast<uint8_t>(k % 3 == 2 ? rng() % 11 : rng() % 2);
        header.calls = calls.size();
        header.watchFrom = rng() % (calls.size() + 1);
        // No run is longer than the frames shown; a file that says so is refused.
        header.swaps = std::max<uint64_t>(EDGES[rng() % 21], calls.size());
        header.finalScore = static_cast<uint32_t>(EDGES[rng() % 19]);
        header.bestScore = static_cast<uint32_t>(EDGES[rng() % 19]);
        const std::vector<uint8_t> file = encodeTape(header, writer.body().data(), writer.body().size());
        TapeHeader read;
        const uint8_t* body;
        size_t bodyLength;
        std::string why;
        ASSERT_TRUE(decodeTape(file.data(), file.size(), header.version, header.randPrint, read, body, bodyLength, why))
            << why;
        EXPECT_TRUE(encodeTape(read, body, bodyLength) == file);  // header, and body, as written
        TapeReader reader(body, bodyLength);
        TapeCall call;
        size_t same = 0;
        while (reader.next(call) == 1 && same < calls.size() && sameCall(call, calls[same])) ++same;
        EXPECT_EQ(same, calls.size());
        EXPECT_EQ(reader.next(call), 0);
    }
}

// A recording is written out whole at every event and score change, often inside a run of one
// call: cut there again and again, it reads back; so does a file whose runs were written one
// straight after another, as 1.1.0 wrote them.
TEST(ReplayFile, RunsCutAgainAndAgainReadBack) {
    const TapeCall still = {CALL_TICKS, 5, {}};
    TapeWriter writer;
    for (int cut : {3, 1, 1, 4}) {
        for (int i = 0; i < cut; ++i) writer.add(still);
        writer.flush();
    }
    const std::string old("\xc5\xc0\x84\x03\x84\x01", 6);  // 5 ms, then the same reading 1 + 3 + 1 times
    for (const std::string& body : {std::string(writer.body().begin(), writer.body().end()), old}) {
        TapeHeader header = {};
        header.version = gameVersion();
        randFingerprint(header.randPrint);
        header.calls = body == old ? 6 : 9;
        const auto* bytes = reinterpret_cast<const uint8_t*>(body.data());
        const std::vector<uint8_t> file = encodeTape(header, bytes, body.size());
        TapeHeader read;
        const uint8_t* at;
        size_t length;
        std::string why;
        ASSERT_TRUE(decodeTape(file.data(), file.size(), header.version, header.randPrint, read, at, length, why))
            << why;
        TapeReader reader(at, length);
        TapeCall call;
        uint64_t same = 0;
        while (reader.next(call) == 1 && sameCall(call, still)) ++same;
        EXPECT_EQ(same, header.calls);
    }
}

// Every cut of a real file is refused; a cut body reads as the calls before the cut and then
// ends or is refused. Each cut lies in a buffer of its own size: the sanitizer build sees any
// read past it.
TEST(ReplayFile, EveryCutOfARealFileIsRefusedWithinItsBytes) {
    const std::string path = asThisVersion("cross_die_and_go_on");
    const std::string good = readFile(path);
    remove(path.c_str());
    uint32_t print[4];
    randFingerprint(print);
    TapeHeader header;
    const uint8_t* body;
    size_t length;
    std::string why;
    auto cutAt = [&good](size_t from, size_t cut) {
        std::unique_ptr<uint8_t[]> bytes(new uint8_t[cut]);
        memcpy(bytes.get(), good.data() + from, cut);
        return bytes;
    };
    for (size_t cut = 0; cut < good.size(); ++cut)
        EXPECT_FALSE(decodeTape(cutAt(0, cut).get(), cut, gameVersion(), print, header, body, length, why)) << cut;
    const auto* bytes = reinterpret_cast<const uint8_t*>(good.data());
    ASSERT_TRUE(decodeTape(bytes, good.size(), gameVersion(), print, header, body, length, why)) << why;
    std::vector<TapeCall> whole;
    TapeReader all(body, length);
    for (TapeCall call; all.next(call) == 1;) whole.push_back(call);
    for (size_t cut = 0; cut < length; ++cut) {
        const auto cutBody = cutAt(static_cast<size_t>(body - bytes), cut);
        TapeReader reader(cutBody.get(), cut);
        TapeCall call;
        size_t same = 0;
        int read;
        while ((read = reader.next(call)) == 1 && same < whole.size() && sameCall(call, whole[same])) ++same;
        EXPECT_LE(read, 0) << "a call the whole body does not have, cut at " << cut;
    }
}

// A replay whose game spins without end, on a clock that stands still or on events that never
// run out, still stops on the viewer's Escape, Alt+F4 or a quit request (a closed window,
// SIGTERM, SIGINT), with status 0 and nothing said; left alone it would go out of step.
TEST(SpinningReplays, StopOnTheViewersKeyOrAQuitRequest) {
    const SDL_Event quit = {SDL_QUIT};
    const struct {
        TapeCallKind spin;
        SDL_Event viewer;
    } rows[] = {{CALL_TICKS, keyDown(SDLK_ESCAPE)},
                {CALL_POLL, keyDown(SDLK_F4, KMOD_RALT)},
                {CALL_TICKS, quit},
                {CALL_POLL, quit}};
    const std::string path = "/tmp/zk-spin-" + std::to_string(getpid()) + ".replay";
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.spin) + " " + std::to_string(row.viewer.type));
        TapeWriter writer;
        const TapeCall call = {row.spin, 0, {row.spin == CALL_POLL ? EVENT_KEY_UP : EVENT_NONE, 0, 0, 0, 0}};
        for (int n = 0; n < 100000; ++n) writer.add(call);
        writer.flush();
        TapeHeader header = {gameVersion(), {}, 0, 0, {}, 0, writer.calls(), 0, 1, 0};  // its end out of step
        randFingerprint(header.randPrint);
        const std::vector<uint8_t> file = encodeTape(header, writer.body().data(), writer.body().size());
        writeFile(path, std::string(file.begin(), file.end()));
        EXPECT_EXIT(
            {
                std::string why;
                if (!loadReplay(path.c_str(), SESSION_TIMEDEMO, why)) _Exit(2);
                startSession(0);
                sdl = ScriptedSdl();
                sdl.queue.push_back({50, row.viewer});
                GameEvent event;
                for (;;) row.spin == CALL_POLL ? pollEvent(event) : currentTicks();
            },
            ::testing::ExitedWithCode(0), "^$");
    }
    remove(path.c_str());
}

struct BadReplayTest : TempFolderTest {};

// Refused before anything is drawn, with a reason; the session stays live.
TEST_F(BadReplayTest, MissingCutDamagedAndForeignFilesAreRefused) {
    const std::string copy = asThisVersion("short_walk");
    const std::string good = readFile(copy);
    remove(copy.c_str());
    const auto* bytes = reinterpret_cast<const uint8_t*>(good.data());
    TapeHeader header;
    const uint8_t* body;
    size_t bodyLength;
    std::string why;
    uint32_t print[4];
    randFingerprint(print);
    ASSERT_TRUE(decodeTape(bytes, good.size(), gameVersion(), print, header, body, bodyLength, why)) << why;
    auto rewrite = [&](std::function<void(TapeHeader&, std::string&)> change) {
        TapeHeader copy = header;
        std::string changedBody(reinterpret_cast<const char*>(body), bodyLength);
        change(copy, changedBody);
        const std::vector<uint8_t> file =
            encodeTape(copy, reinterpret_cast<const uint8_t*>(changedBody.data()), changedBody.size());
        return std::string(file.begin(), file.end());
    };
    std::string flipped = good;
    flipped[good.size() / 2] ^= 0x10;
    const struct {
        const char* name;
        std::string content;  // none: the file is missing
        const char* reason;
    } cases[] = {
        {"empty", "", "not a Zembrak replay"},
        {"a text file", "score 12345\n", "not a Zembrak replay"},
        {"nine bytes, the version's length in the sum", std::string("ZKRP\x01\x82\xe7\x8a\x5a", 9),
         "not a Zembrak replay"},
        {"cut in the header", good.substr(0, 40), "cut short or damaged"},
        {"cut in the body", good.substr(0, good.size() / 2), "cut short or damaged"},
        {"the last byte missing", good.substr(0, good.size() - 1), "cut short or damaged"},
        {"a byte longer", good + '\0', "cut short or damaged"},
        {"one bit changed", flipped, "cut short or damaged"},
        {"another version", rewrite([](TapeHeader& h, std::string&) { h.version = "0.0.1"; }), "another version"},
        {"another C library", rewrite([](TapeHeader& h, std::string&) { h.randPrint[0] ^= 1; }), "C library"},
        {"fewer calls than it holds", rewrite([](TapeHeader& h, std::string&) { h.calls -= 1; }), "damaged"},
        {"an unknown op", rewrite([](TapeHeader&, std::string& b) { b[b.size() / 2] = '\x85'; }), "damaged"},
        {"a run before any op", rewrite([](TapeHeader&, std::string& b) { b.insert(0, "\x84\x05"); }), "damaged"},
        {"a level past the table", rewrite([](TapeHeader& h, std::string&) { h.world[2] = 11; }), "damaged"},
        // Made to keep a replay going for hours: a run of 65536 frames in a short walk, a clock
        // that jumps past what a 32-bit reading holds.
        {"a run longer than the frames shown", rewrite([](TapeHeader& h, std::string& b) {
             b += std::string("\x00\x84\x80\x80\x04", 5);
             h.calls += 3 * 65537;
         }),
         "damaged"},
        {"a clock past its end", rewrite([](TapeHeader& h, std::string& b) {
             b += "\x80\xff\xff\xff\xff\x0f";
             h.calls += 1;
         }),
         "damaged"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeFile("data/bad.replay", c.content);
        resetSession();
        EXPECT_FALSE(loadReplay("data/bad.replay", SESSION_WATCH, why));
        EXPECT_NE(why.find(c.reason), std::string::npos) << why;
        EXPECT_EQ(sessionMode(), SESSION_LIVE);
    }
    for (const char* path : {"data/missing.replay", "data", "data/pipe.replay"}) {
        SCOPED_TRACE(path);
        mkfifo("data/pipe.replay", 0644);  // nothing ever writes: opening it must not wait
        EXPECT_FALSE(loadReplay(path, SESSION_WATCH, why));
        EXPECT_EQ(sessionMode(), SESSION_LIVE);
    }
}

}  // namespace
