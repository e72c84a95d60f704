#include "runner_process.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <csignal>
#include <thread>
#include <fstream>
#include <limits>
#include <memory>

#include "child_process.h"
#include "data_folder.h"

namespace {

int runCounter = 0;

ProcessOptions processOptions(const std::string& script, const RunOptions& options)
{
    ProcessOptions p;
    p.args = {GLIMMERFALL_SCRIPT_BINARY};
    if (options.rawOptions.empty()) {
        p.args.insert(p.args.end(), {"--size", options.size});
        if (!options.audioOut.empty()) {
            p.args.insert(p.args.end(), {"--audio-out", options.audioOut});
        }
    } else {
        p.args.insert(p.args.end(), options.rawOptions.begin(), options.rawOptions.end());
    }
    const std::string data = options.data.empty() ? dataFolder() : options.data;
    if (options.scriptOnStdin) {
        p.folder = data;
        p.input = script;
    } else {
        const std::string scriptFile = tempPath("script" + std::to_string(runCounter++) + ".txt");
        std::ofstream(scriptFile) << script;
        p.args.insert(p.args.end(), {"--data", data, scriptFile});
    }
    p.env = {"ALSOFT_DRIVERS=null"};
    p.env.insert(p.env.end(), options.env.begin(), options.env.end());
    p.timeoutSeconds = options.timeoutSeconds;
    p.lineDelayMicroseconds = options.readDelayMicroseconds;
    return p;
}

RunResult runResult(const ProcessResult& p)
{
    RunResult r;
    r.exitCode = p.exitCode;
    r.timedOut = p.timedOut;
    r.lines = p.lines();
    r.exitSeconds = p.seconds;
    r.err = p.err;
    return r;
}

}  // namespace

bool sanitizedBuild()
{
#ifdef GLIMMERFALL_SANITIZED
    return true;
#else
    return false;
#endif
}

std::vector<JsonValue> RunResult::states() const
{
    std::vector<JsonValue> out;
    for (const std::string& line : lines) {
        if (!line.empty() && line[0] == '{') {
            out.push_back(parseLine(line));
        }
    }
    return out;
}

std::string tempPath(const std::string& name)
{
    return ::testing::TempDir() + "gf_" + std::to_string(getpid()) + "_" + name;
}

RunOptions sized(const std::string& size)
{
    RunOptions options;
    options.size = size;
    return options;
}

RunResult runScript(const std::string& script, const RunOptions& options)
{
    if (options.stopBurstMilliseconds <= 0) {
        return runResult(runProcess(processOptions(script, options)));
    }
    ChildProcess child(processOptions(script, options));
    std::atomic<bool> done{false};
    int stops = 0;
    std::thread bursts([&] {
        const auto burst = std::chrono::milliseconds(options.stopBurstMilliseconds);
        while (!done) {
            child.signal(SIGSTOP);
            ++stops;
            std::this_thread::sleep_for(burst);
            child.signal(SIGCONT);
            std::this_thread::sleep_for(burst);
        }
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    const ProcessResult result = child.finish();
    done = true;
    bursts.join();
    RunResult r = runResult(result);
    r.stopBursts = stops;
    return r;
}

std::vector<RunResult> runScripts(const std::vector<std::string>& scripts, const std::vector<RunOptions>& options)
{
    std::vector<std::unique_ptr<ChildProcess>> children;
    for (std::size_t i = 0; i < scripts.size(); ++i) {
        children.push_back(std::make_unique<ChildProcess>(
            processOptions(scripts[i], i < options.size() ? options[i] : RunOptions{})));
    }
    std::vector<RunResult> results;
    for (auto& child : children) {
        results.push_back(runResult(child->finish()));
    }
    return results;
}

JsonValue parseLine(const std::string& line)
{
    JsonValue v;
    EXPECT_TRUE(JsonParser(line).parse(v)) << line;
    return v;
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
