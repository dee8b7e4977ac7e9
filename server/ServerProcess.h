// A skelda-scores process for the tests and the load benchmark: started on a free
// loopback port, its log read until it says where it listens, stopped with a signal.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace skelda {

class ServerProcess {
public:
    ServerProcess() = default;
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;
    ~ServerProcess() { Stop(SIGKILL); }

    // Starts `program args... --listen 127.0.0.1:0` with its log (standard output and
    // error) appended to `logFile`, and waits at most 20 s for the log line that names
    // its port. False when it stops or says nothing.
    bool Start(const std::string& program, const std::vector<std::string>& args,
               const std::string& logFile) {
        const size_t before = LogText(logFile).size();
        pid_ = fork();
        if (pid_ < 0) return false;
        if (pid_ == 0) {
            const int log = open(logFile.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
            if (log >= 0) dup2(log, 1), dup2(log, 2);
            std::vector<std::string> all{program};
            all.insert(all.end(), args.begin(), args.end());
            all.push_back("--listen");
            all.push_back("127.0.0.1:0");
            std::vector<char*> argv;
            for (auto& a : all) argv.push_back(a.data());
            argv.push_back(nullptr);
            execv(program.c_str(), argv.data());
            _exit(127);
        }
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (std::chrono::steady_clock::now() < until) {
            const std::string text = LogText(logFile).substr(before);
            const size_t at = text.find("listening on ");
            if (at != std::string::npos && text.find('\n', at) != std::string::npos) {
                const size_t colon = text.find(':', text.find("//", at) + 2);
                port = std::stoi(text.substr(colon + 1));
                return true;
            }
            if (!Running()) return false;
            usleep(20 * 1000);
        }
        return false;
    }

    static std::string LogText(const std::string& logFile) {
        std::string text;
        if (FILE* f = std::fopen(logFile.c_str(), "rb")) {
            char buffer[4096];
            size_t n;
            while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
            std::fclose(f);
        }
        return text;
    }

    bool Running() {
        if (pid_ <= 0) return false;
        int status = 0;
        const pid_t r = waitpid(pid_, &status, WNOHANG);
        if (r == 0) return true;
        exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        pid_ = -1;
        return false;
    }

    // Sends the signal and waits for the process; its exit status (128 + signal when
    // killed by one), or -1 when it was not running.
    int Stop(int sig) {
        if (pid_ <= 0) return -1;
        kill(pid_, sig);
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
        exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        return exitStatus;
    }

    pid_t pid() const { return pid_; }

    int port = 0;
    int exitStatus = -1;

private:
    pid_t pid_ = -1;
};

}  // namespace skelda
