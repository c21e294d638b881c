// Plays an uploaded replay through the headless verifier, in a child process of its own that
// may use only so much processor time, memory and wall-clock time.
#pragma once

#include <string>

#include "checks.h"

namespace scores {

struct VerifyLimits {
    int cpuSeconds = 20;   // processor time; a replay that never ends is stopped by it
    int wallSeconds = 70;  // in case the child sleeps or waits instead
    long memoryMiB = 512;  // address space; 0 for none (sanitizer builds reserve terabytes)
};

enum class Verified { yes, no, failed };

// Runs `verifier FILE` on the tape. yes: `verdict` holds what it printed. no: the replay was
// refused, with the verifier's reason (or the limit that stopped it) in `why`. failed: the
// verifier could not be run at all (a fault of the server, not of the replay).
Verified verifyTape(const std::string& verifier, const std::string& tape, const VerifyLimits& limits, Verdict& verdict,
                    std::string& why);

}  // namespace scores
