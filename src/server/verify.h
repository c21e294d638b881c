// Plays an uploaded replay through the headless verifier, in a child process of its own that
// may use only so much processor time, memory and wall-clock time.
#pragma once

#include <condition_variable>
#include <mutex>
#include <string>

#include "checks.h"

namespace scores {

struct VerifyLimits {
    int cpuSeconds = 20;   // processor time; a replay that never ends is stopped by it
    int wallSeconds = 70;  // in case the child sleeps or waits instead
    long memoryMiB = 512;  // address space; 0 for none (sanitizer builds reserve terabytes)
};

enum class Verified { yes, no, failed };

// At most so many verifiers run at once, so many uploads wait for one, and the rest are turned
// away at once: a burst of costly replays holds a few of the server's workers, never all.
class VerifierTurns {
   public:
    VerifierTurns(int verifiers, int waiting) : verifiers_(verifiers), waiting_(waiting) {}
    // Waits for a verifier to be free; false at once when the line is full.
    bool take();
    // The turn taken is over.
    void giveBack();

   private:
    std::mutex mutex_;
    std::condition_variable free_;
    int verifiers_, waiting_;
    int running_ = 0, inLine_ = 0;
};

// Runs `verifier FILE` on the tape. yes: `verdict` holds what it printed. no: the replay was
// refused, with the verifier's reason (or the limit that stopped it) in `why`. failed: the
// verifier could not be run at all (a fault of the server, not of the replay).
Verified verifyTape(const std::string& verifier, const std::string& tape, const VerifyLimits& limits, Verdict& verdict,
                    std::string& why);

}  // namespace scores
