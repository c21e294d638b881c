// The session on tape: every session is recorded in memory, and the best game of it kept;
// a session on file can be played again, watched at its own pace or run as fast as possible.
#pragma once

#include <cstdint>
#include <cstdio>

#include "builds/builds.h"
#include "replay/tape.h"

enum SessionMode {
    SESSION_LIVE,      // played by the player, recorded in memory
    SESSION_WATCH,     // a replay at its recorded pace, with sound
    SESSION_TIMEDEMO,  // a replay as fast as it draws, silent, timed
    SESSION_VERIFY,    // a replay as fast as the rules run, nothing shown, heard or printed
};

// Chooses a replay before start-up. Returns false with a reason when the file is missing, cut,
// damaged or foreign; nothing is changed then.
bool loadReplay(const char* path, SessionMode mode, std::string& why);
// The same from a file already open (nullptr with errno set when it did not open), closed here.
bool loadReplayFile(FILE* file, const char* path, SessionMode mode, std::string& why);

// Asks for the whole session to be written to `path` (absolute) at exit.
void recordTo(const char* path);
const char* recordingPath();  // "" when not recording

SessionMode sessionMode();

// The build whose play the session follows: this one live, the recording one in a replay,
// whose random numbers the rules then draw (game/random.h).
Build sessionBuild();

// Right after the settings are read: a replay plays with the settings it was recorded with.
void applyReplaySettings();

// A replay's World in place of the one loaded; nothing while live.
void placeReplayWorld();
uint32_t replaySeed();  // the seed a replay was recorded with

// End of start-up: notes what a recording needs, and returns the seed for srand (`clockSeed`
// while live). Both through replay/start.h.
uint32_t startSession(uint32_t clockSeed);

// Live: note what the engine answered. The call counts before any answer is given.
void recordTicks(uint32_t ticks);
void recordEvent(TapeCallKind kind, const GameEvent* taken);  // nullptr: no event

// Replay: the next answer from the tape; at its end the replay is finished.
uint32_t playTicks();
int playEvent(TapeCallKind kind, GameEvent& event);  // 1 with the event in `event`, else it stays

// What a finished replay does; the default prints the timedemo line and exits with `status`.
// The verifier prints its line instead; tests put a function here that does not return.
extern void (*replayFinished)(int status);

// The game's version that this program writes into its replays and wants in the ones it plays.
const char* gameVersion();

// The verifier's look at each call of a replay as it is played, before the game acts on it.
extern void (*replayCallPlayed)(const TapeCall& call);

// A replay's run-up to the game worth watching is still being played.
bool fastForwarding();

void countSwap();

// The viewer ended the replay (Escape, Alt+F4, SIGTERM): no line, status 0.
void replayStopped();

// The game on the tape quit where its build ends the program: the tape must end here too.
void replayQuit();

// At exit: writes the recording asked for, or finishes a replay that played to its end; a
// replay whose game quit before its tape ended went out of step and says so.
void endSession();

// The best game of this session as a replay file when its score is `score`, the best score
// about to be saved; empty otherwise, so the replay on file always belongs to the score on file.
std::vector<uint8_t> bestGameTape(uint32_t score);

// How a watched replay keeps its pace (replay/seams.cpp); it starts afresh with the session.
struct WatchPace {
    bool anchored, muted;
    uint32_t recordedStart, realStart;  // the tape's clock and the real one at the anchor
    uint32_t lastLook;                  // when the viewer's keys were last read
};
WatchPace& watchPace();
