// What the API answers: its JSON bodies, each refusal with its reason, and the digest that
// tells tapes apart. No routes and no database here.
#pragma once

#include <httplib.h>

#include <cstdint>
#include <string>
#include <vector>

#include "store.h"

namespace scores {

// The hexadecimal SHA-256 of `bytes`.
std::string sha256Hex(const std::string& bytes);

// `json` as the answer, with `status`.
void answer(httplib::Response& res, int status, const std::string& json);
// {"error": why} with `status`.
void refuse(httplib::Response& res, int status, const std::string& why);

// 409 for an upload of a game stored before: the entry it repeats, by its id in the message
// and as "id".
void refuseCopy(httplib::Response& res, const Earlier& earlier);

// One board entry, as GET /api/scores lists it.
std::string entryJson(const Entry& entry);
// {"scores": [...]} for a page of the board.
std::string boardJson(const std::vector<Entry>& entries);
// What a stored upload is told: its id, its rank and the score it verified to.
std::string addedJson(int64_t id, int64_t rank, int64_t score);
// /healthz: ok, and how many entries are stored.
std::string healthJson(int64_t entries);

}  // namespace scores
