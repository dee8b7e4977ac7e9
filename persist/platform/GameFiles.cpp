#include "persist/platform/GameFiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

namespace skelda {

namespace {

GameFileFault& Fault() {
    static GameFileFault fault;
    return fault;
}

// 0 to go on, or the errno the test wants this step to fail with.
int Injected(const char* step) {
    return Fault() ? Fault()(step) : 0;
}

std::string Reason(int err) {
    return std::strerror(err);
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string BaseOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Writes everything or fails with errno set; a write that makes no progress is an I/O
// error rather than a loop.
bool WriteAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        if (const int e = Injected("write")) {
            errno = e;
            return false;
        }
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) {
            errno = EIO;
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// Temporaries of this target that a killed or crashed writer left behind: the pattern of
// WriteGameFile's own names, and old enough that no writer running now can own them.
void RemoveStaleTemporaries(const std::string& folder, const std::string& base) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    const std::string prefix = "." + base + ".";
    const time_t now = ::time(nullptr);
    while (const dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0)
            continue;
        struct stat st {};
        const std::string path = folder + "/" + name;
        if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && now - st.st_mtime > 60)
            ::unlink(path.c_str());
    }
    ::closedir(dir);
}

}  // namespace

void SetGameFileFaultForTests(GameFileFault fault) {
    Fault() = std::move(fault);
}

bool GameFileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::optional<std::string> ReadGameFile(const std::string& path, std::string& error,
                                        size_t maxBytes) {
    // Looked at before it is opened: opening a FIFO or a device could wait or have
    // effects of its own.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return error = Reason(errno), std::nullopt;
    if (!S_ISREG(st.st_mode)) return error = "it is not a regular file", std::nullopt;
    if (st.st_size < 0 || static_cast<unsigned long long>(st.st_size) > maxBytes)
        return error = "it is too large (more than " + std::to_string(maxBytes) + " bytes)",
               std::nullopt;

    // Non-blocking, in case something else was put there meanwhile; checked again once open.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return error = Reason(errno), std::nullopt;
    std::optional<std::string> result;
    if (::fstat(fd, &st) != 0) {
        error = Reason(errno);
    } else if (!S_ISREG(st.st_mode)) {
        error = "it is not a regular file";
    } else {
        // One byte more than the bound tells a file that grew meanwhile.
        std::vector<char> buffer(maxBytes + 1);
        size_t got = 0;
        bool failed = false;
        while (got < buffer.size()) {
            const ssize_t n = ::read(fd, buffer.data() + got, buffer.size() - got);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                error = Reason(errno);
                failed = true;
                break;
            }
            if (n == 0) break;
            got += static_cast<size_t>(n);
        }
        if (!failed && got > maxBytes)
            error = "it is too large (more than " + std::to_string(maxBytes) + " bytes)";
        else if (!failed)
            result = std::string(buffer.data(), got);
    }
    ::close(fd);
    return result;
}

bool WriteGameFile(const std::string& path, const std::string& bytes, std::string& error) {
    const std::string folder = FolderOf(path);
    auto fail = [&](int err, const std::string& temp) {
        error = "Cannot write \"" + path + "\": " + Reason(err) + ".";
        if (!temp.empty()) ::unlink(temp.c_str());
        return false;
    };

    // A name of our own beside the target: created exclusively, so nothing planted
    // there (a link, a file) is ever opened, and a partly written file never has the
    // target's name.
    std::string temp = folder + "/." + BaseOf(path) + ".XXXXXX";
    if (const int e = Injected("create")) return fail(e, "");
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) return fail(errno, "");

    // The new file keeps the mode of the one it replaces; a new one is the player's own.
    struct stat old {};
    const mode_t mode = ::stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode)
                            ? (old.st_mode & 07777)
                            : static_cast<mode_t>(0600);
    ::fchmod(fd, mode);

    if (!WriteAll(fd, bytes.data(), bytes.size())) {
        const int e = errno;
        ::close(fd);
        return fail(e, temp);
    }
    int e = Injected("sync");
    if (e == 0 && ::fsync(fd) != 0) e = errno;
    if (e != 0) {
        ::close(fd);
        return fail(e, temp);
    }
    if (::close(fd) != 0) return fail(errno, temp);
    e = Injected("rename");
    if (e == 0 && ::rename(temp.c_str(), path.c_str()) != 0) e = errno;
    if (e != 0) return fail(e, temp);

    // The rename itself reaches the disk with the folder. The new file is in place by
    // now, so a folder that cannot be synced is no failure of the save.
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    RemoveStaleTemporaries(folder, BaseOf(path));
    return true;
}

bool RemoveGameFile(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
    return ::unlink(path.c_str()) == 0;
}

bool RenameGameFile(const std::string& from, const std::string& to) {
    return ::rename(from.c_str(), to.c_str()) == 0;
}

}  // namespace skelda
