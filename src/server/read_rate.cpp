#include "read_rate.h"

#include <algorithm>

namespace scores {

bool ReadRate::allow(const std::string& address, double now) {
    std::lock_guard<std::mutex> lock(mutex_);
    forgetFull(now);
    const auto found = buckets_.find(address);
    Bucket bucket = found == buckets_.end() ? Bucket{double(perMinute_), now} : found->second;
    bucket.tokens = std::min<double>(perMinute_, bucket.tokens + (now - bucket.at) * perMinute_ / 60);
    bucket.at = now;
    const bool allowed = bucket.tokens >= 1;
    if (allowed) bucket.tokens -= 1;
    buckets_[address] = bucket;
    return allowed;
}

// An address whose share has all come back is as good as unseen: dropped, once a minute, so
// the table holds only the last minute's addresses.
void ReadRate::forgetFull(double now) {
    if (now - lastSweep_ < 60) return;
    lastSweep_ = now;
    for (auto it = buckets_.begin(); it != buckets_.end();)
        it = now - it->second.at >= 60 ? buckets_.erase(it) : std::next(it);
}

}  // namespace scores
