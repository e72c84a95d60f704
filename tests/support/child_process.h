#pragma once

// Starting a program as a child process for a test: the one place that forks
// and execs. The child's stdin is fed from a string, its stdout and stderr are
// collected by a thread of its own (so a child that prints a lot never stalls
// on a full pipe unless asked to), and a child that outlives its time limit is
// killed with SIGKILL. A child still running when its ChildProcess goes away
// (a failed assertion returned early) is killed and reaped too.
#include <sys/types.h>

#include <memory>
#include <string>
#include <vector>

struct ProcessOptions {
    // The program (a path, not searched in PATH) and its arguments.
    std::vector<std::string> args;
    // Changes to the test's environment: "NAME=value" sets, "NAME" alone unsets.
    std::vector<std::string> env;
    // The working folder of the child; the test's own when empty.
    std::string folder;
    // Written to the child's stdin, which is then closed.
    std::string input;
    // Killed with SIGKILL when still running this long after the start.
    double timeoutSeconds = 300;
    // stderr goes to the same pipe as stdout, interleaved as printed.
    bool errToOut = false;
    // A pause after each stdout line is read: once the pipe is full, the
    // child waits that long at every line it prints.
    int lineDelayMicroseconds = 0;
};

struct ProcessResult {
    bool started = false;  // false when the program could not be started at all
    int exitCode = -1;     // -1 when the child did not exit normally (killed, crashed)
    int signal = 0;        // the signal that ended it, if one did
    bool timedOut = false;
    double seconds = 0.0;  // from the start until the child had exited
    std::string out;
    std::string err;

    // stdout, one entry a line (a last line without its newline included).
    std::vector<std::string> lines() const;
};

class ChildProcess {
public:
    explicit ChildProcess(const ProcessOptions& options);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const;
    pid_t pid() const;
    // What the child has printed on stderr so far.
    std::string errSoFar() const;
    // Sends a signal to the child while it runs.
    void signal(int number);
    // Waits until the child has exited, killing it once the time limit given
    // at the start has passed, and returns everything it printed.
    ProcessResult finish();
    // The same with the limit moved to this many seconds from now.
    ProcessResult finish(double limitSeconds);

private:
    struct State;
    std::unique_ptr<State> state_;
};

// Runs a program to its end.
ProcessResult runProcess(const ProcessOptions& options);

// Runs a command line through /bin/sh to its end.
ProcessResult runShell(const std::string& command, ProcessOptions options = {});
