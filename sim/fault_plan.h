#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

#include <json/value.h>

// Faults a USB device injects into its command answers. Each fault affects
// the next `commands` command reports (or every one until cleared); several
// faults can be active at once. Thread-safe.
namespace korvane::sim {

enum class FaultKind {
    NoAnswer,     // the report is dropped: no effect, no answer
    WrongCode,    // the command runs, but the answer carries another code in byte 3
    ExtraAnswer,  // an answer with another code arrives before the real one
    Status,       // the command is refused with the given status (0xFE, 0xFF), memory untouched
    Delay,        // the answer becomes readable later
    UnplugAfter,  // after answering N more reports the device drops off the bus on the next one
};
const char* toString(FaultKind kind);

inline constexpr int kUntilCleared = -1;

struct Fault {
    FaultKind kind = FaultKind::NoAnswer;
    int commands = 1;                    // commands affected, or kUntilCleared
    uint8_t value = 0;                   // WrongCode/ExtraAnswer: the code; Status: the status
    std::chrono::microseconds delay{0};  // Delay
    int afterReports = 0;                // UnplugAfter
};

// What the active faults do to one command report.
struct FaultEffect {
    bool unplug = false;  // drop off the bus instead of handling the report
    bool drop = false;
    std::optional<uint8_t> code;
    std::optional<uint8_t> extraAnswerCode;
    std::optional<uint8_t> status;
    std::chrono::microseconds delay{0};
};

class FaultPlan {
  public:
    void add(const Fault& fault);
    void noAnswer(int commands = 1);
    void wrongCode(uint8_t code, int commands = 1);
    void extraAnswer(uint8_t code, int commands = 1);
    void status(uint8_t status, int commands = 1);
    void delay(std::chrono::microseconds delay, int commands = 1);
    void unplugAfter(int reports);
    void clear();
    // Faults still active.
    size_t pending() const;

    // Consumes one command report's worth of every active fault.
    FaultEffect next();

    Json::Value toJson() const;

  private:
    mutable std::mutex mutex_;
    std::vector<Fault> faults_;
};

}  // namespace korvane::sim
