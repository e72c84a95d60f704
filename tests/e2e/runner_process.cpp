#include "runner_process.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <memory>
#include <sstream>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::string readText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

int runCounter = 0;

// One child: started at once, read by its own thread, reaped by finish().
class Child {
public:
    Child(const std::string& script, const RunOptions& options)
    {
        const int n = runCounter++;
        scriptFile_ = tempPath("script" + std::to_string(n) + ".txt");
        errFile_ = tempPath("err" + std::to_string(n) + ".txt");
        std::ofstream(scriptFile_) << script;
        timeout_ = options.timeoutSeconds;
        readDelay_ = options.readDelayMicroseconds;

        // Everything the child needs is built before fork: other children's
        // reader threads may hold the allocator's lock at that moment, so the
        // child only redirects and calls execve.
        std::vector<std::string> env;
        bool driverChosen = false;
        for (const auto& [name, value] : options.env) {
            env.push_back(name + "=" + value);
            driverChosen = driverChosen || name == "ALSOFT_DRIVERS";
        }
        if (!driverChosen) {
            env.push_back("ALSOFT_DRIVERS=null");
        }
        for (char** e = environ; *e != nullptr; ++e) {
            const std::string entry(*e);
            bool overridden = false;
            for (const std::string& mine : env) {
                overridden = overridden || entry.substr(0, entry.find('=') + 1) == mine.substr(0, mine.find('=') + 1);
            }
            if (!overridden) {
                env.push_back(entry);
            }
        }
        std::vector<char*> envp;
        for (std::string& e : env) {
            envp.push_back(e.data());
        }
        envp.push_back(nullptr);
        const std::string data = options.data.empty() ? dataDir() : options.data;
        std::vector<std::string> args{GLIMMERFALL_SCRIPT_BINARY, "--size", options.size, "--data", data};
        if (!options.audioOut.empty()) {
            args.push_back("--audio-out");
            args.push_back(options.audioOut);
        }
        args.push_back(scriptFile_);
        std::vector<char*> argv;
        for (std::string& a : args) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);

        int fds[2];
        if (pipe(fds) != 0) {
            return;
        }
        start_ = Clock::now();
        pid_ = fork();
        if (pid_ == 0) {
            dup2(fds[1], 1);
            close(fds[0]);
            close(fds[1]);
            const int err = open(errFile_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (err >= 0) {
                dup2(err, 2);
                close(err);
            }
            execve(argv[0], argv.data(), envp.data());
            _exit(127);
        }
        close(fds[1]);
        if (pid_ < 0) {
            close(fds[0]);
            return;
        }
        reader_ = std::thread([this, fd = fds[0]] { read(fd); });
        watchdog_ = std::thread([this] { watch(); });
    }

    RunResult finish()
    {
        if (reader_.joinable()) {
            reader_.join();
        }
        // Stdout is closed: the child is ending (or was killed); the watchdog
        // must not signal a process id that may be reused once reaped.
        done_ = true;
        if (watchdog_.joinable()) {
            watchdog_.join();
        }
        int status = 0;
        if (pid_ > 0) {
            waitpid(pid_, &status, 0);
            result_.exitSeconds = secondsSince(start_);
            result_.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        result_.err = readText(errFile_);
        return result_;
    }

private:
    void read(int fd)
    {
        std::string pending;
        char buffer[65536];
        for (;;) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n <= 0) {
                break;
            }
            pending.append(buffer, static_cast<std::size_t>(n));
            std::size_t end;
            while ((end = pending.find('\n')) != std::string::npos) {
                result_.lines.push_back(pending.substr(0, end));
                pending.erase(0, end + 1);
                if (readDelay_ > 0) {
                    // A full pipe stops the child at its next line.
                    std::this_thread::sleep_for(std::chrono::microseconds(readDelay_));
                }
            }
        }
        if (!pending.empty()) {
            result_.lines.push_back(pending);
        }
        close(fd);
    }

    // The runner leaves SIGTERM to SDL, which turns it into an event the
    // runner drops: a runaway child is ended with SIGKILL.
    void watch()
    {
        while (!done_) {
            if (pid_ > 0 && secondsSince(start_) > timeout_) {
                result_.timedOut = true;
                kill(pid_, SIGKILL);
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }

    std::string scriptFile_;
    std::string errFile_;
    int timeout_ = 300;
    int readDelay_ = 0;
    pid_t pid_ = -1;
    Clock::time_point start_;
    std::thread reader_;
    std::thread watchdog_;
    std::atomic<bool> done_{false};
    RunResult result_;
};

}  // namespace

std::vector<JsonValue> RunResult::states() const
{
    std::vector<JsonValue> out;
    for (const std::string& line : lines) {
        if (!line.empty() && line[0] == '{') {
            JsonValue v;
            EXPECT_TRUE(JsonParser(line).parse(v)) << line;
            out.push_back(std::move(v));
        }
    }
    return out;
}

std::string tempPath(const std::string& name)
{
    return ::testing::TempDir() + "e2e_" + std::to_string(getpid()) + "_" + name;
}

std::string dataDir()
{
    const char* data = std::getenv("GLIMMERFALL_DATA_DIR");
    return data != nullptr ? data : ".";
}

RunResult runScript(const std::string& script, const RunOptions& options)
{
    Child child(script, options);
    return child.finish();
}

std::vector<RunResult> runScripts(const std::vector<std::string>& scripts, const std::vector<RunOptions>& options)
{
    std::vector<std::unique_ptr<Child>> children;
    for (std::size_t i = 0; i < scripts.size(); ++i) {
        children.push_back(std::make_unique<Child>(scripts[i], i < options.size() ? options[i] : RunOptions{}));
    }
    std::vector<RunResult> results;
    for (auto& child : children) {
        results.push_back(child->finish());
    }
    return results;
}

double num(const JsonValue& v, const char* a, const char* b)
{
    const JsonValue* x = v.get(a);
    if (x != nullptr && b != nullptr) {
        x = x->get(b);
    }
    if (x == nullptr || x->type != JsonValue::Type::Number) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    return x->number;
}

double vec(const JsonValue& v, const char* a, const char* b, int i)
{
    const JsonValue* x = v.get(a);
    if (x != nullptr && b != nullptr) {
        x = x->get(b);
    }
    if (x == nullptr || x->type != JsonValue::Type::Array || x->items.size() != 3) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    return x->items[static_cast<std::size_t>(i)].number;
}

double vecLength(const JsonValue& v, const char* a, const char* b)
{
    const double x = vec(v, a, b, 0);
    const double y = vec(v, a, b, 1);
    const double z = vec(v, a, b, 2);
    return std::sqrt(x * x + y * y + z * z);
}

std::string repeat(const std::string& text, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i) {
        out += text;
    }
    return out;
}
