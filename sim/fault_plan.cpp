#include "sim/fault_plan.h"

#include <algorithm>

namespace korvane::sim {

const char* toString(FaultKind kind) {
    switch (kind) {
        case FaultKind::NoAnswer:
            return "noAnswer";
        case FaultKind::WrongCode:
            return "wrongCode";
        case FaultKind::ExtraAnswer:
            return "extraAnswer";
        case FaultKind::Status:
            return "status";
        case FaultKind::Delay:
            return "delay";
        case FaultKind::UnplugAfter:
            return "unplugAfter";
    }
    return "unknown";
}

void FaultPlan::add(const Fault& fault) {
    if (fault.kind != FaultKind::UnplugAfter && fault.commands == 0) {
        return;
    }
    std::lock_guard lock(mutex_);
    faults_.push_back(fault);
}

void FaultPlan::noAnswer(int commands) {
    add({FaultKind::NoAnswer, commands, 0, {}, 0});
}

void FaultPlan::wrongCode(uint8_t code, int commands) {
    add({FaultKind::WrongCode, commands, code, {}, 0});
}

void FaultPlan::extraAnswer(uint8_t code, int commands) {
    add({FaultKind::ExtraAnswer, commands, code, {}, 0});
}

void FaultPlan::status(uint8_t status, int commands) {
    add({FaultKind::Status, commands, status, {}, 0});
}

void FaultPlan::delay(std::chrono::microseconds delay, int commands) {
    add({FaultKind::Delay, commands, 0, delay, 0});
}

void FaultPlan::unplugAfter(int reports) {
    add({FaultKind::UnplugAfter, 1, 0, {}, std::max(reports, 0)});
}

void FaultPlan::clear() {
    std::lock_guard lock(mutex_);
    faults_.clear();
}

size_t FaultPlan::pending() const {
    std::lock_guard lock(mutex_);
    return faults_.size();
}

FaultEffect FaultPlan::next() {
    std::lock_guard lock(mutex_);
    FaultEffect effect;
    // A pending unplug that is due wins: the report is never handled, so
    // the other faults stay for whatever comes after a re-plug.
    for (auto it = faults_.begin(); it != faults_.end(); ++it) {
        if (it->kind == FaultKind::UnplugAfter && it->afterReports == 0) {
            faults_.erase(it);
            effect.unplug = true;
            return effect;
        }
    }
    for (Fault& fault : faults_) {
        switch (fault.kind) {
            case FaultKind::NoAnswer:
                effect.drop = true;
                break;
            case FaultKind::WrongCode:
                effect.code = fault.value;
                break;
            case FaultKind::ExtraAnswer:
                effect.extraAnswerCode = fault.value;
                break;
            case FaultKind::Status:
                effect.status = fault.value;
                break;
            case FaultKind::Delay:
                effect.delay += fault.delay;
                break;
            case FaultKind::UnplugAfter:
                --fault.afterReports;
                continue;
        }
        if (fault.commands > 0) {
            --fault.commands;
        }
    }
    std::erase_if(faults_, [](const Fault& f) {
        return f.kind != FaultKind::UnplugAfter && f.commands == 0;
    });
    return effect;
}

Json::Value FaultPlan::toJson() const {
    std::lock_guard lock(mutex_);
    Json::Value list(Json::arrayValue);
    for (const Fault& fault : faults_) {
        Json::Value f(Json::objectValue);
        f["kind"] = toString(fault.kind);
        if (fault.kind == FaultKind::UnplugAfter) {
            f["afterReports"] = fault.afterReports;
        } else {
            f["commands"] = fault.commands;  // -1: until cleared
        }
        if (fault.kind == FaultKind::WrongCode || fault.kind == FaultKind::ExtraAnswer ||
            fault.kind == FaultKind::Status) {
            f["value"] = fault.value;
        }
        if (fault.kind == FaultKind::Delay) {
            f["delayUs"] = static_cast<Json::Int64>(fault.delay.count());
        }
        list.append(f);
    }
    return list;
}

}  // namespace korvane::sim
