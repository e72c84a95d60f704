#pragma once

#include <string>
#include <vector>

#include "mini_json.h"

// Runs glimmerfall-script as a child process (through child_process.h) on a
// script, from the data folder the tests are given, and collects what it
// printed. Each test program keeps its files apart by its process id, so
// tests can run side by side.

// True when the build runs under AddressSanitizer and UBSan, where the
// runner is several times slower and resident memory holds the sanitizer's
// quarantine.
bool sanitizedBuild();

struct RunOptions {
    std::string size = "160x128";
    // Changes to the child's environment, "NAME=value" (or "NAME" to unset);
    // ALSOFT_DRIVERS is "null" unless set here.
    std::vector<std::string> env;
    int timeoutSeconds = 300;
    // Where the runner writes its sound (--audio-out); none when empty.
    std::string audioOut;
    // The data folder the runner reads; dataFolder() when empty.
    std::string data;
    // A pause after each stdout line is read: once the pipe is full, the
    // runner waits that long at every line it prints.
    int readDelayMicroseconds = 0;
    // The runner stopped (SIGSTOP) and let go on (SIGCONT) in turn, this many
    // milliseconds each, for as long as it runs: slowed as a busy machine
    // would slow it, at every point of its work.
    int stopBurstMilliseconds = 0;
    // Command-line words put before the script instead of the ones above
    // (--size, --audio-out), for tests of the command line itself.
    std::vector<std::string> rawOptions;
    // The script on stdin and the runner started in the data folder, without
    // --data or a script file, as someone would type it at a terminal.
    bool scriptOnStdin = false;
};

struct RunResult {
    int exitCode = -1;  // -1 when the child did not exit normally
    bool timedOut = false;
    std::vector<std::string> lines;  // stdout, one entry a line
    double exitSeconds = 0.0;        // when the child had exited
    std::string err;                 // stderr
    int stopBursts = 0;              // times the runner was stopped (stopBurstMilliseconds)

    // The stdout lines that are state objects, parsed, in order.
    std::vector<JsonValue> states() const;
};

// The usual options with another window size.
RunOptions sized(const std::string& size);

// A unique path in the test's temporary folder for this process.
std::string tempPath(const std::string& name);

// Runs one script to its end.
RunResult runScript(const std::string& script, const RunOptions& options = {});

// The text repeated the given number of times, for scripts that do a few
// commands over and over.
std::string repeat(const std::string& text, int times);

// Runs several scripts at the same time, each in its own child.
std::vector<RunResult> runScripts(const std::vector<std::string>& scripts, const std::vector<RunOptions>& options);

// One stdout line parsed as JSON (a failure of the test when it is not).
JsonValue parseLine(const std::string& line);

// A number in a state object by path, e.g. num(s, "ship", "thrustInput");
// NaN when missing (which no comparison accepts).
double num(const JsonValue& v, const char* a, const char* b = nullptr);
// Component i of a vector in a state object, e.g. vec(s, "ship", "position", 1).
double vec(const JsonValue& v, const char* a, const char* b, int i);
// Length of a vector in a state object.
double vecLength(const JsonValue& v, const char* a, const char* b);
