#pragma once

#include <functional>
#include <string>

// Messages between this program and others on the desktop: the lighting-owner
// broadcast, notices from programs that take the lighting, game events, and
// the system's sleep and resume. Without a bus the program runs on and says so
// in the log.
namespace korvane::app {

class SessionBus {
public:
    virtual ~SessionBus() = default;

    struct Handlers {
        // Another program asks us to stop (0) or allows us again (1) to drive the lighting.
        std::function<void(int wParam, int lParam)> lightOwnerNotice;
        // "Game_Start", "Game_End", "Game_Kill" or "Game_Death".
        std::function<void(const std::string& event, int wParam, int lParam)> gameEvent;
        // true when the system is about to sleep, false after it resumed.
        std::function<void(bool sleeping)> sleep;
    };

    virtual bool connected() const = 0;
    virtual void setHandlers(Handlers handlers) = 0;
    // This program drives the lighting (lParam 1) or stops (0); wParam is 1.
    virtual void broadcastLightOwner(int wParam, int lParam) = 0;
};

// A bus that is not there: every broadcast is dropped.
class NoSessionBus : public SessionBus {
public:
    bool connected() const override { return false; }
    void setHandlers(Handlers) override {}
    void broadcastLightOwner(int, int) override {}
};

}  // namespace korvane::app
