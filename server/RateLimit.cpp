#include "server/RateLimit.h"

#include <iterator>

namespace skelda {

bool RateLimit::Allow(const std::string& client, int64_t nowSeconds) {
    if (perMinute_ <= 0) return true;
    std::lock_guard lock(mutex_);
    // Windows that ended are forgotten once there are many, so memory stays bounded by
    // the clients of the last minute.
    if (windows_.size() > 10000) {
        for (auto it = windows_.begin(); it != windows_.end();)
            it = nowSeconds - it->second.start >= 60 ? windows_.erase(it) : std::next(it);
    }
    Window& w = windows_[client];
    if (nowSeconds - w.start >= 60) w = Window{nowSeconds, 0};
    if (w.count >= perMinute_) return false;
    ++w.count;
    return true;
}

}  // namespace skelda
