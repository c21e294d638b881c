#include "answers.h"

#include <openssl/evp.h>

#include <stdexcept>

#include "checks.h"
#include "page.h"

namespace scores {

std::string sha256Hex(const std::string& bytes) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_Digest(bytes.data(), bytes.size(), digest, &length, EVP_sha256(), nullptr) != 1)
        throw std::runtime_error("SHA-256 failed");
    static const char hex[] = "0123456789abcdef";
    std::string text;
    for (unsigned int i = 0; i < length; ++i) {
        text += hex[digest[i] >> 4];
        text += hex[digest[i] & 15];
    }
    return text;
}

void answer(httplib::Response& res, int status, const std::string& json) {
    res.status = status;
    res.set_content(json + "\n", "application/json");
}

void refuse(httplib::Response& res, int status, const std::string& why) {
    answer(res, status, "{\"error\": " + jsonString(why) + "}");
}

void refuseCopy(httplib::Response& res, const Earlier& earlier) {
    const std::string id = std::to_string(earlier.id);
    const std::string why = earlier.removed ? "this game was taken off the board as entry #" + id
                                            : "this game is on the board already as entry #" + id;
    answer(res, 409, "{\"error\": " + jsonString(why) + ", \"id\": " + id + "}");
}

std::string entryJson(const Entry& entry) {
    return "{\"id\": " + std::to_string(entry.id) + ", \"rank\": " + std::to_string(entry.rank) +
           ", \"name\": " + jsonString(entry.name) + ", \"score\": " + std::to_string(entry.score) +
           ", \"frames\": " + std::to_string(entry.frames) +
           ", \"platform\": " + jsonString(platformOf(entry.library)) + ", \"library\": " + jsonString(entry.library) +
           ", \"version\": " + jsonString(entry.version) + ", \"date\": " + jsonString(dateOf(entry.submitted)) +
           ", \"submitted\": " + std::to_string(entry.submitted) + ", \"replay\": \"/replays/" +
           std::to_string(entry.id) + ".replay\"}";
}

std::string boardJson(const std::vector<Entry>& entries) {
    std::string json = "{\"scores\": [";
    for (size_t i = 0; i < entries.size(); ++i) json += (i ? ",\n  " : "\n  ") + entryJson(entries[i]);
    return json + "]}";
}

std::string addedJson(int64_t id, int64_t rank, int64_t score) {
    return "{\"id\": " + std::to_string(id) + ", \"rank\": " + std::to_string(rank) +
           ", \"score\": " + std::to_string(score) + "}";
}

std::string healthJson(int64_t entries) { return "{\"status\": \"ok\", \"entries\": " + std::to_string(entries) + "}"; }

}  // namespace scores
