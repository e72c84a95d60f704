#include "app/host.h"

bool Host::createWindow(WindowProcedure procedure, Game& game)
{
    if (procedure == nullptr || !openWindow()) {
        return false;
    }
    procedure_ = procedure;
    game_ = &game;
    destroyed_ = false;
    if (procedure_(*this, wmCreate, 0, 0) == -1) {
        // Creation abandoned: the window goes away without further messages.
        destroyed_ = true;
        closeWindow();
        return false;
    }
    // The window takes its (maximised) size right after creation.
    sendMessage(wmSize);
    return true;
}

void Host::showWindow()
{
    if (windowExists()) {
        revealWindow();
    }
}

void Host::destroyWindow()
{
    if (!windowExists()) {
        return;
    }
    procedure_(*this, wmDestroy, 0, 0);
    destroyed_ = true;
    closeWindow();
}

bool Host::postMessage(const Message& m)
{
    if (queueCount_ == queueCapacity) {
        // Full: pointer motion gives way, so that a key or button message is
        // never lost (a lost key release would leave W or Space held).
        // Motion arriving now moves the newest queued motion instead; a key
        // or button takes the place of the oldest queued motion.
        const int newest = lastMotion();
        if (m.message == wmMouseMove) {
            if (newest < 0) {
                return false;
            }
            queue_[(queueHead_ + newest) % queueCapacity] = m;
            return true;
        }
        const int oldest = firstMotion();
        if (oldest < 0) {
            return false;  // 256 keys and buttons waiting: nothing may give way
        }
        for (int i = oldest; i + 1 < queueCount_; ++i) {
            queue_[(queueHead_ + i) % queueCapacity] = queue_[(queueHead_ + i + 1) % queueCapacity];
        }
        --queueCount_;
    }
    queue_[(queueHead_ + queueCount_) % queueCapacity] = m;
    ++queueCount_;
    return true;
}

int Host::firstMotion() const
{
    for (int i = 0; i < queueCount_; ++i) {
        if (queue_[(queueHead_ + i) % queueCapacity].message == wmMouseMove) {
            return i;
        }
    }
    return -1;
}

int Host::lastMotion() const
{
    for (int i = queueCount_ - 1; i >= 0; --i) {
        if (queue_[(queueHead_ + i) % queueCapacity].message == wmMouseMove) {
            return i;
        }
    }
    return -1;
}

std::int64_t Host::sendMessage(std::uint32_t message, std::uint64_t wParam, std::int64_t lParam)
{
    if (!windowExists()) {
        return 0;
    }
    return procedure_(*this, message, wParam, lParam);
}

std::int64_t Host::dispatchMessage(const Message& m)
{
    if (m.message == wmNull) {
        return 0;
    }
    return sendMessage(m.message, m.wParam, m.lParam);
}

void Host::postQuitMessage(int exitCode)
{
    quitPosted_ = true;
    quitCode_ = exitCode;
}

bool Host::takeMessage(Message& out)
{
    pumpEvents(false);
    if (queueCount_ == 0 && !quitPosted_ && windowExists() && minimised_) {
        // A minimised window is never painted: sleep until something happens.
        pumpEvents(true);
    }
    if (queueCount_ > 0) {
        out = queue_[queueHead_];
        queueHead_ = (queueHead_ + 1) % queueCapacity;
        --queueCount_;
        return true;
    }
    if (quitPosted_) {
        quitPosted_ = false;
        out = Message{wmQuit, static_cast<std::uint64_t>(quitCode_), 0};
        return true;
    }
    if (windowExists() && !minimised_) {
        out = Message{wmPaint, 0, 0};
        return true;
    }
    return false;
}

void Host::setMinimised(bool minimised)
{
    if (minimised && !minimised_) {
        postMessage(Message{wmNull, 0, 0});
    }
    minimised_ = minimised;
    updateActivation();
}

void Host::setFocused(bool focused)
{
    focused_ = focused;
    updateActivation();
}

void Host::updateActivation()
{
    const bool active = focused_ && !minimised_;
    if (active == active_) {
        return;
    }
    active_ = active;
    const std::uint64_t minimisedWord = minimised_ ? std::uint64_t{1} << 16 : 0;
    sendMessage(wmActivate, (active ? waActive : waInactive) | minimisedWord);
}
