// glimmerfall-bench: what a frame of the game costs under Mesa's software
// renderer, run from the data folder (scripts/bench does all of it).
//
// Before the benchmarks start it
//   1. plays a few thousand frames with the autopilot in a child process,
//      through the scripted runner's offscreen host, and reads that run's
//      peak resident memory;
//   2. plays to a fixed point of the first level the same way in this process
//      and snapshots the game there; every frame benchmark restores that
//      snapshot, so all of them draw the same stretch of play.
// Afterwards it prints the medians against their targets, and the ratio of
// the batched to the one-by-one sprite path at each size.
//
//   glimmerfall-bench [--memory-frames N] [--play-frames N] [benchmark flags]
#include <GL/gl.h>
#include <GL/osmesa.h>
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/program.h"
#include "audio/openal_device.h"
#include "game/camera.h"
#include "game/frame_driver.h"
#include "game/game_snapshot.h"
#include "game/glimmerfall_game.h"
#include "game/pickup_collection.h"
#include "game/rendering_setup.h"
#include "script_command.h"
#include "script_host.h"
#include "world/world_draw.h"

namespace {

// Frames drawn from one restore of the snapshot before the next: half a
// second of play, so the median covers a stretch rather than one picture.
constexpr int framesPerCycle = 30;

struct Size {
    int width;
    int height;
};
constexpr Size benchSizes[] = {{1280, 1024}, {1920, 1080}, {2560, 1440}};

ScriptHost* host = nullptr;
// The game the runner's window plays; it outlives every host.
GameData data;
GlimmerfallGame game(data);
const GameSnapshot* midLevel = nullptr;

// ---- running the game through the runner's host -------------------------

std::FILE* devNull()
{
    static std::FILE* f = std::fopen("/dev/null", "w");
    return f;
}

// Plays the given number of frames from the start of the game with the
// autopilot, through the real message loop, and returns the host, whose GL
// context stays current.
std::unique_ptr<ScriptHost> playWithAutopilot(Size size, long frames)
{
    ScriptParseResult script = parseScript("autopilot " + std::to_string(frames) + "\n");
    auto h = std::make_unique<ScriptHost>(data, size.width, size.height, std::move(script.commands), devNull());
    runGame(*h, game);
    return h;
}

// A "Name:  123 kB" line of /proc/self/status, in KiB; −1 when missing.
long statusKib(const char* name)
{
    std::ifstream status("/proc/self/status");
    const std::string prefix = std::string(name) + ":";
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(prefix, 0) == 0) {
            return std::strtol(line.c_str() + prefix.size(), nullptr, 10);
        }
    }
    return -1;
}

long peakResidentKib() { return statusKib("VmHWM"); }

// That child's own peak resident memory in KiB, or −1 when it failed.
// RUSAGE_CHILDREN would also count whatever this process id ran before
// (scripts/bench execs us after the compiler).
long maxResidentOfChild(pid_t child, const char* what)
{
    int status = 0;
    rusage usage{};
    if (child < 0 || wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "glimmerfall-bench: the %s failed\n", what);
        return -1;
    }
    return usage.ru_maxrss;
}

// The peak resident memory of a whole run of the given length, in KiB, from a
// child that starts with nothing else loaded: the runner's own process.
long memoryOfAWholeRun(long frames)
{
    std::fflush(stdout);
    const pid_t child = fork();
    if (child == 0) {
        playWithAutopilot(benchSizes[0], frames);
        // File-backed pages are mostly the shared libraries' code, above
        // all LLVM's, which llvmpipe needs to compile its shaders.
        std::printf("memory run: %ld frames at %dx%d, level %d: VmHWM %ld KiB; at the end %ld KiB anonymous, "
                    "%ld KiB file-backed\n",
                    frames, benchSizes[0].width, benchSizes[0].height, data.session.levelNumber, peakResidentKib(),
                    statusKib("RssAnon"), statusKib("RssFile"));
        std::fflush(stdout);
        _exit(0);
    }
    return maxResidentOfChild(child, "memory run");
}

// The peak resident memory of a child that makes only what the game's run
// starts with before the game itself does anything: the runner's offscreen GL
// context (current, with its buffers, one clear drawn) and the sound device.
// The difference to a whole run is the game's own share.
long memoryOfTheBaseline()
{
    int answer[2];
    if (pipe(answer) != 0) {
        return -1;
    }
    std::fflush(stdout);
    const pid_t child = fork();
    if (child == 0) {
        ScriptHost bare(data, benchSizes[0].width, benchSizes[0].height, {}, devNull());
        bare.createRenderContext();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glFinish();
        SoundDevice* device = nullptr;
        const bool sound = createOpenAlDevice(&device) >= 0;
        const long baselineKib = peakResidentKib();
        std::printf("baseline: GL context at %dx%d%s: VmHWM %ld KiB (%ld KiB anonymous, %ld KiB file-backed)\n",
                    benchSizes[0].width, benchSizes[0].height, sound ? " and sound device" : ", NO sound device",
                    peakResidentKib(), statusKib("RssAnon"), statusKib("RssFile"));
        // Not part of the baseline, for comparison: the first shader llvmpipe
        // compiles pages in much of LLVM's code, whatever is drawn.
        glBegin(GL_TRIANGLES);
        glVertex2f(0.0f, 0.0f);
        glVertex2f(1.0f, 0.0f);
        glVertex2f(0.0f, 1.0f);
        glEnd();
        glFinish();
        std::printf("  after one triangle drawn: VmHWM %ld KiB (%ld KiB anonymous, %ld KiB file-backed)\n",
                    peakResidentKib(), statusKib("RssAnon"), statusKib("RssFile"));
        std::fflush(stdout);
        // The figure goes back through the pipe: the child's own peak now
        // includes the triangle.
        _exit(sound && OSMesaGetCurrentContext() != nullptr && write(answer[1], &baselineKib, sizeof baselineKib) ==
                                                                   static_cast<ssize_t>(sizeof baselineKib)
                  ? 0
                  : 1);
    }
    close(answer[1]);
    long baselineKib = -1;
    const bool read = ::read(answer[0], &baselineKib, sizeof baselineKib) == static_cast<ssize_t>(sizeof baselineKib);
    close(answer[0]);
    return maxResidentOfChild(child, "baseline") > 0 && read ? baselineKib : -1;
}

// ---- drawing at a chosen desktop size --------------------------------------

// Points the runner's context at a buffer of the given size and hands the
// game the new desktop size and a size change, as the window would.
void useDesktop(Size size)
{
    static std::map<std::pair<int, int>, std::vector<unsigned char>> buffers;
    std::vector<unsigned char>& buffer = buffers[{size.width, size.height}];
    buffer.resize(static_cast<std::size_t>(size.width) * static_cast<std::size_t>(size.height) * 4);
    if (!OSMesaMakeCurrent(OSMesaGetCurrentContext(), buffer.data(), GL_UNSIGNED_BYTE, size.width,
                           size.height)) {
        std::fprintf(stderr, "glimmerfall-bench: cannot draw at %dx%d\n", size.width, size.height);
        std::exit(2);
    }
    game.setupRendering(size.width, size.height);
}

// The paint handler's work: one frame and the wait for it. (The host's
// present has nothing to swap offscreen.)
void drawFrame()
{
    runFrame(data);
    glFinish();
}

std::vector<unsigned char> readPixels(Size size)
{
    std::vector<unsigned char> out(static_cast<std::size_t>(size.width) * size.height * 4);
    glReadPixels(0, 0, size.width, size.height, GL_RGBA, GL_UNSIGNED_BYTE, out.data());
    return out;
}

// Draws a few frames from the snapshot each way and compares every pixel.
bool samePixelsBothWays(Size size, int frames)
{
    std::vector<std::vector<unsigned char>> oneByOne;
    spritePath = SpritePath::OneByOne;
    midLevel->restore(data);
    for (int k = 0; k < frames; ++k) {
        drawFrame();
        oneByOne.push_back(readPixels(size));
    }
    spritePath = SpritePath::Batched;
    midLevel->restore(data);
    long differing = 0;
    for (int k = 0; k < frames; ++k) {
        drawFrame();
        const std::vector<unsigned char> batched = readPixels(size);
        const std::vector<unsigned char>& reference = oneByOne[static_cast<std::size_t>(k)];
        for (std::size_t i = 0; i < batched.size(); ++i) {
            differing += batched[i] != reference[i] ? 1 : 0;
        }
    }
    const bool same = differing == 0;
    std::printf("%dx%d, %d frames: %s (%ld bytes differ)\n", size.width, size.height, frames,
                same ? "same pixels both ways" : "PIXELS DIFFER", differing);
    midLevel->restore(data);
    return same;
}

// ---- benchmarks -------------------------------------------------------------

// The simulation of one frame of play without drawing: the pickups' steps and
// collection tests, the ship's step and the particles' moves. The collection
// test is the frame driver's (the ship and each pickup projected onto the
// shell of radius 15, closer than √0.6); hits are counted, not collected, so
// that every iteration does the same work.
void simulation(benchmark::State& state)
{
    midLevel->restore(data);
    long hits = 0;
    for (auto _ : state) {
        World& world = data.world;
        const Vector4 shipOnShell = onShell(world.ship.body.position);
        for (Pickup& p : world.pickups) {
            p.step();
            hits += withinReach(p, shipOnShell) ? 1 : 0;
        }
        world.ship.step();
        for (int j = 0; j < world.particleCount; ++j) {
            world.particles[j].move();
        }
        benchmark::DoNotOptimize(hits);
        benchmark::ClobberMemory();
    }
    midLevel->restore(data);
}

void wholeFrame(benchmark::State& state, Size size, SpritePath path)
{
    useDesktop(size);
    // Checked once per size, before the first timing there.
    static std::map<std::pair<int, int>, bool> checked;
    const auto key = std::make_pair(size.width, size.height);
    if (checked.find(key) == checked.end()) {
        checked[key] = samePixelsBothWays(size, framesPerCycle);
    }
    if (!checked[key]) {
        state.SkipWithError("the two sprite paths gave different pixels");
        return;
    }
    spritePath = path;
    midLevel->restore(data);
    int frame = 0;
    long culled = 0;
    long sent = 0;
    for (auto _ : state) {
        if (frame == framesPerCycle) {
            state.PauseTiming();
            midLevel->restore(data);
            frame = 0;
            state.ResumeTiming();
        }
        drawFrame();
        culled += worldSpritesCulled;
        sent += worldSpritesSent;
        ++frame;
    }
    spritePath = SpritePath::Batched;
    state.counters["sprites_sent"] = benchmark::Counter(static_cast<double>(sent), benchmark::Counter::kAvgIterations);
    state.counters["sprites_culled"] =
        benchmark::Counter(static_cast<double>(culled), benchmark::Counter::kAvgIterations);
    midLevel->restore(data);
}

// Start-up: the rendering set-up (textures, lights, figure crowd, viewport)
// and the first world draw, which compiles the globe lists and fills the sky.
void startUp(benchmark::State& state)
{
    useDesktop(benchSizes[0]);
    for (auto _ : state) {
        state.PauseTiming();
        midLevel->restore(data);
        worldFirstDraw = 1;
        state.ResumeTiming();
        setupRendering(data.textures, data.display, benchSizes[0].width, benchSizes[0].height);
        drawWorld(cameraPass(data.camera, data.world.ship), data.world, data.session.levelTime, data.textures);
        glFinish();
    }
    midLevel->restore(data);
}

double cpuSeconds(clockid_t clock)
{
    timespec t{};
    clock_gettime(clock, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Where a batched frame's time goes: CPU time per frame of the game's own
// thread (the game, GL's state work, vertex shading and binning) and of the
// whole process (adding llvmpipe's rasteriser threads), as medians of five
// cycles of play from the snapshot. CPU time is far less disturbed than the
// wall clock by other work on the machine.
void cpuSplit(Size size)
{
    useDesktop(size);
    spritePath = SpritePath::Batched;
    std::vector<double> gameThread;
    std::vector<double> all;
    for (int cycle = 0; cycle < 5; ++cycle) {
        midLevel->restore(data);
        const double thread0 = cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
        const double process0 = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
        for (int k = 0; k < framesPerCycle; ++k) {
            drawFrame();
        }
        gameThread.push_back((cpuSeconds(CLOCK_THREAD_CPUTIME_ID) - thread0) / framesPerCycle);
        all.push_back((cpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - process0) / framesPerCycle);
    }
    std::sort(gameThread.begin(), gameThread.end());
    std::sort(all.begin(), all.end());
    std::printf("  %-34s %10.3f ms game thread, %.3f ms rasteriser threads\n",
                ("CPU per batched frame " + std::to_string(size.width) + "x" + std::to_string(size.height)).c_str(),
                gameThread[2] * 1e3, (all[2] - gameThread[2]) * 1e3);
    midLevel->restore(data);
}

// Keeps the median of each repeated benchmark while the console shows them.
class MedianReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                const double unit = benchmark::GetTimeUnitMultiplier(run.time_unit);
                medians[run.run_name.function_name] = run.GetAdjustedRealTime() / unit;
                cpuMedians[run.run_name.function_name] = run.GetAdjustedCPUTime() / unit;
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> medians;     // wall clock, seconds
    std::map<std::string, double> cpuMedians;  // this thread's CPU time, seconds
};

std::string frameName(Size size, SpritePath path)
{
    return "frame/" + std::to_string(size.width) + "x" + std::to_string(size.height) +
           (path == SpritePath::Batched ? "/batched" : "/one_by_one");
}

long takeCount(int& argc, char** argv, const char* flag, long fallback)
{
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], flag) == 0) {
            const long value = std::strtol(argv[i + 1], nullptr, 10);
            for (int k = i; k + 2 <= argc; ++k) {
                argv[k] = argv[k + 2];
            }
            argc -= 2;
            return value > 0 ? value : fallback;
        }
    }
    return fallback;
}

void line(const char* what, double value, const char* unit, double target)
{
    std::printf("  %-34s %10.3f %-3s (target < %g %s: %s)\n", what, value, unit, target, unit,
                value < target ? "met" : "NOT met");
}

}  // namespace

int main(int argc, char** argv)
{
    // No sound card is needed: OpenAL Soft mixes into its null backend.
    setenv("ALSOFT_DRIVERS", "null", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);

    const long memoryFrames = takeCount(argc, argv, "--memory-frames", 3000);
    const long playFrames = takeCount(argc, argv, "--play-frames", 1200);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 2;
    }

    const long baselineKib = memoryOfTheBaseline();
    const long peakKib = memoryOfAWholeRun(memoryFrames);

    // The game logic does not depend on the picture's size, so the play to the
    // benchmark position is drawn small.
    std::unique_ptr<ScriptHost> player = playWithAutopilot(Size{256, 256}, playFrames);
    host = player.get();
    if (OSMesaGetCurrentContext() == nullptr) {
        std::fprintf(stderr, "glimmerfall-bench: no offscreen GL context\n");
        return 2;
    }
    auto* position = new GameSnapshot;
    position->capture(data);
    midLevel = position;
    const Session& session = data.session;
    const Vector4& ship = data.world.ship.body.position;
    std::printf("benchmark position after %ld frames: level %d, state %d, level time %.1f, %d pickups collected, "
                "%d particles, ship at (%.2f, %.2f, %.2f)\n",
                playFrames, session.levelNumber, static_cast<int>(session.gameState),
                static_cast<double>(session.levelTime), session.collectedCount, data.world.particleCount,
                static_cast<double>(ship.x), static_cast<double>(ship.y), static_cast<double>(ship.z));
    if (session.gameState != Playing) {
        std::fprintf(stderr, "glimmerfall-bench: the position is not in play; choose another --play-frames\n");
        return 2;
    }

    benchmark::RegisterBenchmark("simulation", simulation)->Unit(benchmark::kMicrosecond);
    for (const Size size : benchSizes) {
        for (const SpritePath path : {SpritePath::Batched, SpritePath::OneByOne}) {
            benchmark::RegisterBenchmark(frameName(size, path).c_str(),
                                         [size, path](benchmark::State& s) { wholeFrame(s, size, path); })
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime()
                ->MinTime(1.0);
        }
    }
    benchmark::RegisterBenchmark("start_up", startUp)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);

    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    auto median = [&](const std::string& name) {
        const auto it = reporter.medians.find(name);
        return it == reporter.medians.end() ? -1.0 : it->second;
    };
    std::printf("\nMedians (llvmpipe, %ld-frame runs):\n", memoryFrames);
    if (median("simulation") >= 0) {
        line("simulation of a frame", median("simulation") * 1e6, "us", 30);
        line("  the same in CPU time", reporter.cpuMedians["simulation"] * 1e6, "us", 30);
    }
    for (const Size size : benchSizes) {
        const double batched = median(frameName(size, SpritePath::Batched));
        const double oneByOne = median(frameName(size, SpritePath::OneByOne));
        if (batched >= 0) {
            line((frameName(size, SpritePath::Batched)).c_str(), batched * 1e3, "ms", 16.7);
        }
        if (oneByOne >= 0) {
            line((frameName(size, SpritePath::OneByOne)).c_str(), oneByOne * 1e3, "ms", 16.7);
        }
        if (batched > 0 && oneByOne > 0) {
            std::printf("  %-34s %10.2f x faster batched\n", "", oneByOne / batched);
        }
    }
    if (median("start_up") >= 0) {
        line("start-up (set-up + first world draw)", median("start_up") * 1e3, "ms", 150);
    }
    for (const Size size : benchSizes) {
        cpuSplit(size);
    }
    line("peak resident memory of a run", static_cast<double>(peakKib) / 1024.0, "MiB", 80);
    if (baselineKib > 0 && peakKib > 0) {
        std::printf("  %-34s %10.3f MiB\n", "  baseline: GL context, sound device", static_cast<double>(baselineKib) / 1024.0);
        std::printf("  %-34s %10.3f MiB\n", "  the game's own share", static_cast<double>(peakKib - baselineKib) / 1024.0);
    }
    std::printf("  (this process, after all benchmarks: %.1f MiB)\n", static_cast<double>(peakResidentKib()) / 1024.0);
    benchmark::Shutdown();
    return 0;
}
