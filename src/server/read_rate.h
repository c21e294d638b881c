// Reads from one address: a person and the pages they load take few, a script hammering the
// board many. Kept in the process's memory; each server process counts its own.
#pragma once

#include <mutex>
#include <string>
#include <unordered_map>

namespace scores {

class ReadRate {
   public:
    explicit ReadRate(int perMinute) : perMinute_(perMinute) {}
    // Counts a request from `address` at `now` (seconds): false when it has used its minute's
    // share. The share comes back steadily, one request every 60/perMinute seconds, up to a
    // whole minute's worth at once.
    bool allow(const std::string& address, double now);

   private:
    struct Bucket {
        double tokens, at;
    };
    void forgetFull(double now);

    const int perMinute_;
    std::mutex mutex_;
    std::unordered_map<std::string, Bucket> buckets_;
    double lastSweep_ = 0;
};

}  // namespace scores
