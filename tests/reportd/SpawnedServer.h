#pragma once

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace testing_support {

// The installed-style program ventora-reportd in a process of its own, started with `args`
// (and --port 0, and --quiet unless told otherwise); its port is read from the line it says
// when it listens.
class SpawnedServer {
public:
    explicit SpawnedServer(std::vector<std::string> args, bool quiet = true) {
        if (quiet)
            args.insert(args.begin(), "--quiet");
        args.insert(args.begin(), {VENTORA_REPORTD_BINARY, "--port", "0"});
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        int errors[2];
        if (pipe(errors) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, errors[1], 2);
        posix_spawn_file_actions_addclose(&actions, errors[0]);
        if (posix_spawn(&m_pid, VENTORA_REPORTD_BINARY, &actions, nullptr, argv.data(), environ) !=
            0)
            m_pid = 0;
        posix_spawn_file_actions_destroy(&actions);
        ::close(errors[1]);
        m_errors = errors[0];
        // "ventora-reportd: 2 stations, simulated reports, on http://127.0.0.1:PORT"
        char c = 0;
        while (m_said.find('\n') == std::string::npos && ::read(m_errors, &c, 1) == 1)
            m_said += c;
        const std::size_t colon = m_said.rfind(':');
        if (m_said.find("http://") != std::string::npos && colon != std::string::npos)
            m_port = std::atoi(m_said.c_str() + colon + 1);
    }
    ~SpawnedServer() {
        Kill(SIGKILL);
        if (m_errors >= 0)
            ::close(m_errors);
    }
    SpawnedServer(const SpawnedServer&) = delete;
    SpawnedServer& operator=(const SpawnedServer&) = delete;

    int Port() const { return m_port; }

    // The next line it says on its standard error; empty when none comes within `wait`.
    std::string ReadLine(std::chrono::milliseconds wait = std::chrono::seconds(5)) {
        std::string line;
        char c = 0;
        pollfd p{m_errors, POLLIN, 0};
        while (::poll(&p, 1, static_cast<int>(wait.count())) > 0 && ::read(m_errors, &c, 1) == 1) {
            if (c == '\n')
                return line;
            line += c;
        }
        return {};
    }
    pid_t Pid() const { return m_pid; }
    const std::string& Said() const { return m_said; }

    // Sends the signal and waits up to `wait` for the end; the exit status, or -1 when it
    // did not end (it is then killed).
    int Kill(int signal, std::chrono::milliseconds wait = std::chrono::seconds(5)) {
        if (m_pid <= 0)
            return -1;
        ::kill(m_pid, signal);
        const auto start = std::chrono::steady_clock::now();
        int status = 0;
        pid_t done = 0;
        while ((done = waitpid(m_pid, &status, WNOHANG)) == 0 &&
               std::chrono::steady_clock::now() - start < wait)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        if (done == 0) {
            ::kill(m_pid, SIGKILL);
            waitpid(m_pid, &status, 0);
        }
        m_pid = 0;
        return done == 0 ? -1 : status;
    }

private:
    pid_t m_pid = 0;
    int m_errors = -1;
    int m_port = 0;
    std::string m_said;
};

} // namespace testing_support
