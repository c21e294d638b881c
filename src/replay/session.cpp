#include "replay/session.h"

#include <SDL.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "game/random.h"
#include "game/state.h"
#include "persist/file_place.h"
#include "platform/program.h"
#include "platform/save_file.h"

#ifndef ZK_VERSION
#define ZK_VERSION "unknown"
#endif

// A session longer than this stops being recorded: at a few bytes a frame it is many hours.
static const size_t LONGEST_RECORDING = 64u << 20;
static const size_t LARGEST_REPLAY_FILE = LONGEST_RECORDING + 4096;

// Where the game worth keeping ends on the tape, and what it scored.
struct TapeCut {
    size_t bytes;
    uint64_t calls;
    uint64_t swaps;
    uint64_t watchFrom;
    uint32_t score;
};

// The session as a whole: from start-up to the exit.
static SessionMode mode = SESSION_LIVE;
static uint64_t swaps = 0;
static TapeHeader header;  // live: filled at start and at saving; replay: read from the file

// Live: recorded in memory from start-up to the exit, where it is written when asked for; the
// best game is cut from it whenever the best score is saved.
struct Recording {
    TapeWriter writer;
    bool going = true;  // false once the session outgrew the recording
    char path[4096] = "";
    bool keptGame = false;
    TapeCut kept = {};
    bool observing = false;
    uint32_t seenBest = 0, seenScore = 0;
    TapeCut beforeEvent = {};  // the tape just before the last event: a choice made in the menu
    uint64_t gameStart = 0;
};
static Recording recording;

// Replay: from the file's loading before start-up to the replay's end, which ends the program.
struct Playback {
    std::vector<uint8_t> file;
    std::unique_ptr<TapeReader> reader;
    uint64_t played = 0;
    const char* path = "";
    uint32_t startedAt = 0;
    bool finished = false;
    bool stopped = false;
};
static Playback playback;

static void finishWithStatus(int status) {
    if (status == 0 && mode == SESSION_TIMEDEMO) fflush(stdout);
    exit(status);
}

void (*replayFinished)(int status) = finishWithStatus;
void (*replayCallPlayed)(const TapeCall& call) = nullptr;

void randFingerprint(uint32_t print[4]) {
    drawAsOwnLibrary();
    randomFingerprint(print);
}

SessionMode sessionMode() { return mode; }

// The build whose play the session follows, and the generator that draws its numbers: 0 the C
// library's own, else 1 + the build whose copy draws them.
static Build followed = thisBuild();
static size_t generator = 0;

static void useGenerator(size_t chosen) {
    generator = chosen;
    if (chosen == 0)
        drawAsOwnLibrary();
    else
        drawAsBuild(static_cast<Build>(chosen - 1));
}

Build sessionBuild() { return followed; }

void recordAsBuild(Build build) {
    followed = build;
    useGenerator(1 + static_cast<size_t>(build));
}

// Splits a replay file, its numbers drawn by the C library's own generator if its print is
// that one's, else by the copy of the build whose print it carries.
static bool decodeWithItsGenerator(const std::vector<uint8_t>& data, const uint8_t*& body, size_t& bodyLength,
                                   std::string& why) {
    uint32_t prints[1 + BUILD_COUNT][4];
    for (size_t each = 0; each < 1 + BUILD_COUNT; ++each) {
        useGenerator(each);
        randomFingerprint(prints[each]);
    }
    const size_t before = generator;
    size_t drawnBy = 0;
    const bool known = decodeTapeOfAny(data.data(), data.size(), ZK_VERSION, prints, 1 + BUILD_COUNT, drawnBy, header,
                                       body, bodyLength, why);
    useGenerator(known ? drawnBy : before);
    if (known) followed = drawnBy == 0 ? thisBuild() : static_cast<Build>(drawnBy - 1);
    return known;
}

const char* gameVersion() { return ZK_VERSION; }

// Reads an open file whole and closes it; `errno` still tells why a file did not open.
static bool readWholeFile(FILE* file, std::vector<uint8_t>& data, std::string& why) {
    if (file == nullptr) {
        why = errno == EINVAL ? "not a file" : strerror(errno);
        return false;
    }
    uint8_t chunk[65536];
    size_t got;
    while ((got = fread(chunk, 1, sizeof chunk, file)) > 0 && data.size() <= LARGEST_REPLAY_FILE)
        data.insert(data.end(), chunk, chunk + got);
    const bool failed = ferror(file) != 0;
    fclose(file);
    if (failed) why = "cannot be read";
    if (data.size() > LARGEST_REPLAY_FILE) why = "too large for a replay";
    return !failed && data.size() <= LARGEST_REPLAY_FILE;
}

bool loadReplay(const char* path, SessionMode wanted, std::string& why) {
    // Opened like the game's own files: never a pipe that could keep the program waiting.
    errno = 0;
    return loadReplayFile(openGameFile(path, "rb"), path, wanted, why);
}

bool loadReplayFile(FILE* file, const char* path, SessionMode wanted, std::string& why) {
    std::vector<uint8_t> data;
    if (!readWholeFile(file, data, why)) return false;
    const uint8_t* body;
    size_t bodyLength;
    if (!decodeWithItsGenerator(data, body, bodyLength, why)) return false;
    const size_t offset = static_cast<size_t>(body - data.data());
    playback.file.swap(data);
    playback.reader.reset(new TapeReader(playback.file.data() + offset, bodyLength));
    mode = wanted;
    playback.path = path;
    playback.played = 0;
    swaps = 0;
    playback.finished = false;
    return true;
}

void recordTo(const char* path) { snprintf(recording.path, sizeof recording.path, "%s", path); }

const char* recordingPath() { return recording.path; }

void applyReplaySettings() {
    if (mode == SESSION_LIVE) return;
    game.bestScore = header.bestScore;
    game.fullscreen = header.fullscreen;
    if (mode == SESSION_TIMEDEMO || mode == SESSION_VERIFY) {
        game.soundVolume = 0;
        game.musicVolume = 0;
    }
}

static void copyWorld(bool toGame) {
    uint8_t* at = header.world;
    for (int x = 0; x < WORLD_SIZE; ++x) {
        for (int y = 0; y < WORLD_SIZE; ++y, at += 3) {
            SectorInfo& sector = game.world[x][y];
            if (toGame) {
                sector = {at[0], at[1], at[2]};
            } else {
                at[0] = sector.wallBottom;
                at[1] = sector.wallLeft;
                at[2] = sector.level;
            }
        }
    }
}

void placeReplayWorld() {
    if (mode != SESSION_LIVE) copyWorld(true);
}

uint32_t replaySeed() { return header.seed; }

uint32_t startSession(uint32_t clockSeed) {
    playback.startedAt = clockSeed;
    if (mode != SESSION_LIVE) return header.seed;
    header.version = ZK_VERSION;
    randomFingerprint(header.randPrint);
    header.seed = clockSeed;
    header.bestScore = game.bestScore;
    header.fullscreen = game.fullscreen != 0;
    copyWorld(false);
    return clockSeed;
}

// --- live ------------------------------------------------------------------------------------

static TapeCut cutHere() {
    recording.writer.flush();
    return TapeCut{recording.writer.body().size(), recording.writer.calls(), swaps, recording.gameStart, game.score};
}

// Looks at the scores between two engine calls. The best score rises only when a game ends
// (the menu after its last run, a new game chosen, the exit) and then that game is kept:
// up to here when its score is still shown, else up to the key that started the next game.
// A score that falls marks a new game.
static void observe() {
    if (!recording.observing) {
        recording.observing = true;
        recording.seenBest = game.bestScore;
        recording.seenScore = game.score;
    }
    if (game.bestScore != recording.seenBest) {
        recording.kept = game.score == game.bestScore ? cutHere() : recording.beforeEvent;
        recording.kept.score = game.bestScore;
        recording.keptGame = true;
    }
    if (game.score < recording.seenScore) recording.gameStart = recording.beforeEvent.calls;
    recording.seenBest = game.bestScore;
    recording.seenScore = game.score;
}

static bool stillRecording() {
    if (!recording.going) return false;
    if (recording.writer.body().size() < LONGEST_RECORDING) return true;
    recording.going = false;
    return false;
}

void recordTicks(uint32_t ticks) {
    if (!stillRecording()) return;
    observe();
    TapeCall call = {};
    call.kind = CALL_TICKS;
    call.ticks = ticks;
    recording.writer.add(call);
}

void recordEvent(TapeCallKind kind, const GameEvent* taken) {
    if (!stillRecording()) return;
    observe();
    TapeCall call = {};
    call.kind = kind;
    if (taken != nullptr) {
        call.event = *taken;
        recording.beforeEvent = cutHere();
    }
    recording.writer.add(call);
}

void countSwap() { ++swaps; }

static std::vector<uint8_t> tapeUpTo(const TapeCut& cut) {
    TapeHeader out = header;
    out.watchFrom = cut.watchFrom;
    out.calls = cut.calls;
    out.swaps = cut.swaps;
    out.finalScore = cut.score;
    return encodeTape(out, recording.writer.body().data(), cut.bytes);
}

std::vector<uint8_t> recordedTape() { return tapeUpTo(cutHere()); }

std::vector<uint8_t> bestGameTape(uint32_t score) {
    if (mode != SESSION_LIVE) return {};
    if (recording.going) observe();  // a game still going at exit counts as it stands
    if (!recording.keptGame || recording.kept.score != score) return {};
    return tapeUpTo(recording.kept);
}

static void writeRecording() {
    if (!recording.going) {
        fprintf(stderr, "Could not record to %s: the session outgrew the recording\n", recording.path);
        return;
    }
    TapeCut whole = cutHere();
    whole.watchFrom = 0;
    const std::vector<uint8_t> file = tapeUpTo(whole);
    SaveStream save;
    if (beginSave(recording.path, &save) != 0) {
        fprintf(stderr, "Could not record to %s\n", recording.path);
        return;
    }
    saveAsBytes(&save);
    fwrite(file.data(), 1, file.size(), save.file);
    if (finishSave(&save) != 0) fprintf(stderr, "Could not record to %s\n", recording.path);
}

// --- replay ----------------------------------------------------------------------------------

bool fastForwarding() { return mode == SESSION_WATCH && playback.played < header.watchFrom; }

// A replay ends in step when it used every call, showed as many frames and reached the score.
static void finishReplay() {
    playback.finished = true;
    const bool inStep = playback.played == header.calls && swaps == header.swaps && game.score == header.finalScore;
    if (!inStep) {
        fprintf(stderr, "Replay %s went out of step after %llu of %llu calls\n", playback.path,
                static_cast<unsigned long long>(playback.played), static_cast<unsigned long long>(header.calls));
        replayFinished(1);
        return;
    }
    if (mode == SESSION_TIMEDEMO) {
        const double seconds = (SDL_GetTicks() - playback.startedAt) / 1000.0;
        printf("timedemo: %llu frames in %.3f s, %.1f frames/s, score %u\n", static_cast<unsigned long long>(swaps),
               seconds, seconds > 0 ? swaps / seconds : 0.0, game.score);
    }
    replayFinished(0);
}

static TapeCall nextCall(TapeCallKind kind) {
    TapeCall call;
    const int read = playback.played < header.calls ? playback.reader->next(call) : 0;
    if (read == 0) finishReplay();
    if (read < 0 || call.kind != kind) {
        fprintf(stderr, "Replay %s went out of step after %llu calls\n", playback.path,
                static_cast<unsigned long long>(playback.played));
        playback.finished = true;
        replayFinished(1);
    }
    if (replayCallPlayed != nullptr) replayCallPlayed(call);
    ++playback.played;
    return call;
}

uint32_t playTicks() { return nextCall(CALL_TICKS).ticks; }

int playEvent(TapeCallKind kind, GameEvent& event) {
    const TapeCall call = nextCall(kind);
    if (call.event.type == EVENT_NONE) return 0;
    event = call.event;
    return 1;
}

void replayStopped() { playback.stopped = true; }

void replayQuit() { finishReplay(); }

void endSession() {
    if (mode == SESSION_LIVE) {
        if (recording.path[0] != '\0') writeRecording();
        return;
    }
    // Ended by the viewer, or by a fatal error before the tape began: nothing to say.
    if (playback.finished || playback.stopped || playback.played == 0) return;
    // The game itself quit on the tape (its last event, if the replay is in step): the replay
    // ends here, with its line, or with the out-of-step message and status 1.
    replayFinished = [](int status) {
        fflush(stdout);
        fflush(stderr);
        if (status != 0) _Exit(status);
    };
    finishReplay();
}

static WatchPace pace;

WatchPace& watchPace() { return pace; }

void resetSession() {
    mode = SESSION_LIVE;
    pace = WatchPace();
    swaps = 0;
    header = TapeHeader();
    recording = Recording();
    playback = Playback();
    replayFinished = finishWithStatus;
    followed = thisBuild();
    useGenerator(0);
}
