// How many submissions each client address may make a minute: a count per address
// in windows of 60 seconds.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <unordered_map>

namespace skelda {

class RateLimit {
public:
    // `perMinute` 0 lets everything through.
    explicit RateLimit(int perMinute) : perMinute_(perMinute) {}
    // Counts one submission from `client` at `nowSeconds`; false once the client has
    // made `perMinute` in the current window.
    bool Allow(const std::string& client, int64_t nowSeconds);

private:
    struct Window {
        int64_t start = 0;
        int count = 0;
    };
    int perMinute_;
    std::mutex mutex_;
    std::unordered_map<std::string, Window> windows_;
};

}  // namespace skelda
