#include "child_process.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <mutex>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// A write to a child that has already closed its stdin must be an error
// (EPIPE) for the writer, not a signal that ends the whole test program.
void ignoreBrokenPipes()
{
    static std::once_flag once;
    std::call_once(once, [] { ::signal(SIGPIPE, SIG_IGN); });
}

// The player's folders of every child a test starts: a folder of this test
// program's own, never the home of whoever runs the tests (the game keeps
// settings, records and replays there). A test may give its own.
std::vector<std::string> withPlayerFolders(const std::vector<std::string>& changes)
{
    const std::string home = ::testing::TempDir() + "gf_player_" + std::to_string(getpid());
    std::vector<std::string> all = {"XDG_CONFIG_HOME=" + home + "/config", "XDG_DATA_HOME=" + home + "/data"};
    all.insert(all.end(), changes.begin(), changes.end());
    return all;
}

// The test's environment with the given changes applied (a later change of
// the same name wins).
std::vector<std::string> environmentWith(const std::vector<std::string>& changes)
{
    auto nameOf = [](const std::string& entry) { return entry.substr(0, entry.find('=')); };
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry(*e);
        bool changed = false;
        for (const std::string& c : changes) {
            changed = changed || nameOf(c) == nameOf(entry);
        }
        if (!changed) {
            env.push_back(entry);
        }
    }
    for (std::size_t i = 0; i < changes.size(); ++i) {
        const std::string& c = changes[i];
        bool overridden = false;
        for (std::size_t j = i + 1; j < changes.size(); ++j) {
            overridden = overridden || nameOf(changes[j]) == nameOf(c);
        }
        if (c.find('=') != std::string::npos && !overridden) {
            env.push_back(c);
        }
    }
    return env;
}

std::vector<char*> pointersTo(std::vector<std::string>& strings)
{
    std::vector<char*> out;
    for (std::string& s : strings) {
        out.push_back(s.data());
    }
    out.push_back(nullptr);
    return out;
}

void closeFd(int& fd)
{
    if (fd >= 0) {
        close(fd);
        fd = -1;
    }
}

}  // namespace

std::vector<std::string> ProcessResult::lines() const
{
    std::vector<std::string> result;
    std::size_t from = 0;
    while (from < out.size()) {
        std::size_t end = out.find('\n', from);
        if (end == std::string::npos) {
            end = out.size();
        }
        result.push_back(out.substr(from, end - from));
        from = end + 1;
    }
    return result;
}

struct ChildProcess::State {
    pid_t pid = -1;
    bool reaped = false;
    int inFd = -1;
    int outFd = -1;
    int errFd = -1;
    std::string input;
    std::size_t written = 0;
    int lineDelay = 0;
    Clock::time_point start;
    std::atomic<double> deadline{0.0};  // seconds after the start
    mutable std::mutex mutex;           // guards pid/reaped and the collected text
    ProcessResult result;
    std::thread thread;

    void watch();
    // Reads what the pipe holds now; false once it is closed.
    bool drain(int fd, std::string& into, bool delayLines);
    void feed();
};

bool ChildProcess::State::drain(int fd, std::string& into, bool delayLines)
{
    char buffer[65536];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n == 0) {
            return false;
        }
        if (n < 0) {
            return errno == EAGAIN || errno == EINTR;
        }
        long newLines = 0;
        {
            std::lock_guard<std::mutex> lock(mutex);
            into.append(buffer, static_cast<std::size_t>(n));
        }
        if (delayLines && lineDelay > 0) {
            for (ssize_t i = 0; i < n; ++i) {
                newLines += buffer[i] == '\n' ? 1 : 0;
            }
            std::this_thread::sleep_for(std::chrono::microseconds(lineDelay * newLines));
            return true;  // read on only after the pause, as a slow reader would
        }
    }
}

void ChildProcess::State::feed()
{
    while (written < input.size()) {
        const ssize_t n = write(inFd, input.data() + written, input.size() - written);
        if (n < 0) {
            if (errno == EAGAIN || errno == EINTR) {
                return;
            }
            break;  // the child closed its stdin
        }
        written += static_cast<std::size_t>(n);
    }
    closeFd(inFd);
}

void ChildProcess::State::watch()
{
    for (;;) {
        pollfd fds[3];
        nfds_t count = 0;
        for (int fd : {outFd, errFd}) {
            if (fd >= 0) {
                fds[count++] = {fd, POLLIN, 0};
            }
        }
        if (inFd >= 0) {
            fds[count++] = {inFd, POLLOUT, 0};
        }
        poll(fds, count, 20);
        if (inFd >= 0) {
            feed();
        }
        if (outFd >= 0 && !drain(outFd, result.out, true)) {
            closeFd(outFd);
        }
        if (errFd >= 0 && !drain(errFd, result.err, false)) {
            closeFd(errFd);
        }

        int status = 0;
        std::unique_lock<std::mutex> lock(mutex);
        if (waitpid(pid, &status, WNOHANG) == pid) {
            reaped = true;
            result.seconds = secondsSince(start);
            result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            result.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
            lock.unlock();
            // What is left in the pipes; a grandchild that still holds them
            // open is not waited for.
            if (outFd >= 0) {
                drain(outFd, result.out, false);
            }
            if (errFd >= 0) {
                drain(errFd, result.err, false);
            }
            break;
        }
        // The runner leaves SIGTERM to SDL, which turns it into an event the
        // runner drops: a runaway child is ended with SIGKILL.
        if (!result.timedOut && secondsSince(start) > deadline) {
            result.timedOut = true;
            kill(pid, SIGKILL);
        }
    }
    closeFd(inFd);
    closeFd(outFd);
    closeFd(errFd);
}

ChildProcess::ChildProcess(const ProcessOptions& options) : state_(std::make_unique<State>())
{
    ignoreBrokenPipes();
    State& s = *state_;
    s.input = options.input;
    s.lineDelay = options.lineDelayMicroseconds;
    s.deadline = options.timeoutSeconds;

    // Everything the child needs is made before the fork: other threads may
    // hold the allocator's lock at that moment, so the child only redirects,
    // changes folder and calls execve.
    std::vector<std::string> args = options.args;
    std::vector<std::string> env = environmentWith(withPlayerFolders(options.env));
    const std::vector<char*> argv = pointersTo(args);
    const std::vector<char*> envp = pointersTo(env);
    if (args.empty()) {
        return;
    }

    // Every descriptor is close-on-exec, so children started side by side do
    // not hold each other's pipes open; the last one reports a failed exec.
    int in[2], out[2], err[2], failure[2];
    if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0 ||
        pipe2(failure, O_CLOEXEC) != 0) {
        return;  // descriptors run out only in a test already gone wrong
    }
    s.start = Clock::now();
    s.pid = fork();
    if (s.pid == 0) {
        struct sigaction dfl {};
        dfl.sa_handler = SIG_DFL;
        sigaction(SIGPIPE, &dfl, nullptr);
        dup2(in[0], 0);
        dup2(out[1], 1);
        dup2(options.errToOut ? out[1] : err[1], 2);
        if (options.folder.empty() || chdir(options.folder.c_str()) == 0) {
            execve(argv[0], argv.data(), envp.data());
        }
        const int e = errno;
        (void)!write(failure[1], &e, sizeof e);
        _exit(127);
    }
    close(in[0]);
    close(out[1]);
    close(err[1]);
    close(failure[1]);
    s.inFd = in[1];
    s.outFd = out[0];
    s.errFd = err[0];
    int childErrno = 0;
    const bool execFailed = s.pid > 0 && read(failure[0], &childErrno, sizeof childErrno) == sizeof childErrno;
    close(failure[0]);
    if (s.pid < 0 || execFailed) {
        if (s.pid > 0) {
            waitpid(s.pid, nullptr, 0);
            s.pid = -1;
        }
        s.result.err = "cannot start " + args[0] + ": " + std::strerror(execFailed ? childErrno : errno);
        closeFd(s.inFd);
        closeFd(s.outFd);
        closeFd(s.errFd);
        return;
    }
    s.result.started = true;
    for (int fd : {s.inFd, s.outFd, s.errFd}) {
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    }
    if (s.input.empty()) {
        closeFd(s.inFd);
    }
    s.thread = std::thread([&s] { s.watch(); });
}

ChildProcess::~ChildProcess()
{
    if (state_->thread.joinable()) {
        finish(0.0);
    }
}

bool ChildProcess::started() const { return state_->result.started; }

pid_t ChildProcess::pid() const { return state_->pid; }

std::string ChildProcess::errSoFar() const
{
    std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->result.err;
}

void ChildProcess::signal(int number)
{
    std::lock_guard<std::mutex> lock(state_->mutex);
    if (state_->pid > 0 && !state_->reaped) {
        kill(state_->pid, number);
    }
}

ProcessResult ChildProcess::finish()
{
    if (state_->thread.joinable()) {
        state_->thread.join();
    }
    return state_->result;
}

ProcessResult ChildProcess::finish(double limitSeconds)
{
    if (state_->result.started) {
        state_->deadline = secondsSince(state_->start) + limitSeconds;
    }
    return finish();
}

ProcessResult runProcess(const ProcessOptions& options)
{
    return ChildProcess(options).finish();
}

ProcessResult runShell(const std::string& command, ProcessOptions options)
{
    options.args = {"/bin/sh", "-c", command};
    return runProcess(options);
}
