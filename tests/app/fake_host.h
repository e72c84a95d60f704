#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/host.h"

// A host without a platform: a fixed desktop size, a script of events handed
// out one per pump, and counters of what the game asked for.
class FakeHost final : public Host {
public:
    FakeHost(int width = 1280, int height = 1024) : width_(width), height_(height) {}

    int clientWidth() const override { return width_; }
    int clientHeight() const override { return height_; }
    void createRenderContext() override { ++contextsCreated; }
    void releaseRenderContext() override { ++contextsReleased; }
    void presentFrame() override { ++framesPresented; }
    void showErrorBox(const char* text, const char* caption) override
    {
        errorTexts.emplace_back(text);
        errorCaptions.emplace_back(caption);
    }

    // Events handed to the host one per pump (or per wait); each may post or
    // send messages, or change the window.
    std::vector<std::function<void(FakeHost&)>> events;

    int contextsCreated = 0;
    int contextsReleased = 0;
    int framesPresented = 0;
    int pumps = 0;
    int waits = 0;
    bool windowOpened = false;
    bool windowVisible = false;
    bool failOpen = false;
    std::vector<std::string> errorTexts;
    std::vector<std::string> errorCaptions;

protected:
    bool openWindow() override
    {
        windowOpened = !failOpen;
        return windowOpened;
    }
    void closeWindow() override
    {
        windowOpened = false;
        windowVisible = false;
    }
    void revealWindow() override { windowVisible = true; }
    void pumpEvents(bool wait) override
    {
        ++pumps;
        if (wait) {
            ++waits;
        }
        if (next_ < events.size()) {
            auto event = events[next_++];
            event(*this);
        }
    }

private:
    int width_;
    int height_;
    std::size_t next_ = 0;
};
