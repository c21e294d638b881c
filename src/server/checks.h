// What the leaderboard accepts from outside: a player's name, a replay's size, the verifier's
// verdict; and the escaping of whatever it sends back. No network, no database: the fuzz
// target drives these directly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "verdict/verdict.h"

namespace scores {

// The largest replay accepted, in bytes.
constexpr size_t kMaxTape = 1024 * 1024;
// The longest name, in characters (code points).
constexpr size_t kMaxNameLength = 24;
// Combining marks kept on one letter; more are cut.
constexpr size_t kMaxMarks = 2;

// The name to store for a name as sent: valid UTF-8, trimmed of spaces at both ends, 1 to
// kMaxNameLength characters with at least one that can be seen (spaces, joiners, blank fillers
// and marks alone do not count), none of them a control or separator character, and at most
// kMaxMarks combining marks on one letter (the rest are cut). False with a reason otherwise.
bool cleanName(const std::string& raw, std::string& name, std::string& why);

// Whether a request body can be a replay at all: not empty, not over the limit.
bool tapeSizeFits(size_t size, std::string& why);
// Why a body over the limit is refused, the limit in MiB.
std::string tapeTooLarge();

// The verifier's line, read by the module that writes it.
using ::parseVerdict;
using ::Verdict;

// A count from a query or the command line: decimal digits only, at most `max`.
bool parseCount(const std::string& text, int64_t max, int64_t& value);

// The address a load balancer appended last to an X-Forwarded-For chain; empty when there is
// none fit to count uploads by.
std::string lastForwarded(const std::string& chain);

// For the page: < > & " ' as entities.
std::string escapeHtml(const std::string& text);
// A JSON string literal, quotes included; bytes that are not valid UTF-8 become U+FFFD.
std::string jsonString(const std::string& text);

// The platform a C library stands for, as players know it; the library itself when unknown.
std::string platformOf(const std::string& library);

}  // namespace scores
