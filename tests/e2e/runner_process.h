#pragma once

#include <string>
#include <utility>
#include <vector>

#include "mini_json.h"

// Runs glimmerfall-script as a child process on a script, from the data
// folder the tests are given, and collects what it printed.

// True when the build runs under AddressSanitizer and UBSan, where the
// runner is several times slower.
constexpr bool sanitizedBuild()
{
#ifdef GLIMMERFALL_E2E_SANITIZED
    return true;
#else
    return false;
#endif
}

struct RunOptions {
    std::string size = "160x128";
    // Extra environment for the child; ALSOFT_DRIVERS is "null" unless set here.
    std::vector<std::pair<std::string, std::string>> env;
    int timeoutSeconds = 300;
    // Where the runner writes its sound (--audio-out); none when empty.
    std::string audioOut;
    // The data folder the runner reads; dataDir() when empty.
    std::string data;
    // A pause after each stdout line is read: once the pipe is full, the
    // runner waits that long at every line it prints.
    int readDelayMicroseconds = 0;
};

struct RunResult {
    int exitCode = -1;  // -1 when the child did not exit normally
    bool timedOut = false;
    std::vector<std::string> lines;  // stdout, one entry a line
    double exitSeconds = 0.0;          // when the child had exited
    std::string err;                   // stderr

    // The stdout lines that are state objects, parsed, in order.
    std::vector<JsonValue> states() const;
};

// A unique path in the test's temporary folder for this process.
std::string tempPath(const std::string& name);

// The folder holding the generated data files (GLIMMERFALL_DATA_DIR).
std::string dataDir();

// Runs one script to its end.
RunResult runScript(const std::string& script, const RunOptions& options = {});

// The text repeated the given number of times, for scripts that do a few
// commands over and over.
std::string repeat(const std::string& text, int times);

// Runs several scripts at the same time, each in its own child.
std::vector<RunResult> runScripts(const std::vector<std::string>& scripts, const std::vector<RunOptions>& options);

// A number in a state object by path, e.g. num(s, "ship", "thrustInput");
// NaN when missing (which no comparison accepts).
double num(const JsonValue& v, const char* a, const char* b = nullptr);
// Component i of a vector in a state object, e.g. vec(s, "ship", "position", 1).
double vec(const JsonValue& v, const char* a, const char* b, int i);
// Length of a vector in a state object.
double vecLength(const JsonValue& v, const char* a, const char* b);
