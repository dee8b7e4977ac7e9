// A stand-in for skelda-metafile that misbehaves as SKELDA_STANDIN says, so the tests can
// check what the game makes of a reader that hangs, crashes, floods, lies or runs out of
// memory. It reads its input first, as the real reader does.
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

int main() {
    const char* env = std::getenv("SKELDA_STANDIN");
    const std::string mode = env ? env : "";
    if (mode == "early") return 0;  // gone before the game has written the file
    char buffer[4096];
    while (read(STDIN_FILENO, buffer, sizeof buffer) > 0) {
    }
    if (mode == "hang")
        for (;;) pause();
    if (mode == "crash") raise(SIGSEGV);
    if (mode == "flood") {
        std::vector<char> junk(1 << 20, 'x');
        std::fputs("SKMF IMAGE 16 16\n", stdout);
        for (;;)
            if (fwrite(junk.data(), 1, junk.size(), stdout) != junk.size()) return 1;
    }
    if (mode == "memory") {
        // Asks for more than the reader may have; without the limit this would succeed.
        const size_t size = size_t(1) << 30;
        char* p = static_cast<char*>(std::malloc(size));
        if (!p) return 3;
        std::memset(p, 1, size);
        std::fputs("SKMF IMAGE 1 1\n", stdout);
        std::fwrite(p, 1, 4, stdout);
        return 0;
    }
    if (mode == "short") {
        std::fputs("SKMF IMAGE 16 16\n", stdout);
        std::fwrite(buffer, 1, 100, stdout);
        return 0;
    }
    if (mode == "status") return 5;
    std::fputs("GIF89a nothing like a reply", stdout);
    return 0;
}
