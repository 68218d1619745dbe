#include "sim/simulator.h"

#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <system_error>

#include <json/writer.h>

#include "platform/log/logger.h"
#include "sim/firmware_factory.h"

namespace korvane::sim {

namespace {

std::string firmwareNameFor(const ModelSpec& spec, const std::string& busName) {
    const std::string_view model = spec.name;
    if (busName.starts_with(model)) {
        return spec.firmwareName + busName.substr(model.size());
    }
    return busName;
}

}  // namespace

Simulator::Simulator(std::shared_ptr<Bus> bus) : bus_(std::move(bus)) {
    std::lock_guard lock(mutex_);
    for (const ModelSpec& spec : allModels()) {
        addLocked(spec.model, spec.name);
    }
}

Simulator::~Simulator() {
    std::vector<std::string> plugged;
    {
        std::lock_guard lock(mutex_);
        for (const auto& [name, entry] : devices_) {
            if (entry.device->attached()) {
                plugged.push_back(name);
            }
        }
    }
    for (const std::string& name : plugged) {
        bus_->unplug(name);
    }
}

std::vector<std::string> Simulator::modelNames() {
    std::vector<std::string> names;
    for (const ModelSpec& spec : allModels()) {
        names.emplace_back(spec.name);
    }
    return names;
}

Simulator::Entry* Simulator::find(const std::string& busName) {
    const auto it = devices_.find(busName);
    return it == devices_.end() ? nullptr : &it->second;
}

const Simulator::Entry* Simulator::find(const std::string& busName) const {
    const auto it = devices_.find(busName);
    return it == devices_.end() ? nullptr : &it->second;
}

Simulator::Entry* Simulator::addLocked(Model model, const std::string& busName) {
    if (busName.empty()) {
        return nullptr;
    }
    if (Entry* existing = find(busName)) {
        return existing->model == model ? existing : nullptr;
    }
    const ModelSpec& spec = specOf(model);
    const std::string fwName = firmwareNameFor(spec, busName);
    std::shared_ptr<Firmware>& firmware = firmware_[fwName];
    if (!firmware) {
        firmware = makeFirmware(spec.firmware);
    } else if (firmware->kind() != spec.firmware) {
        return nullptr;
    }
    Entry entry{model, fwName, std::make_shared<UsbDevice>(busName, model, firmware)};
    return &devices_.emplace(busName, std::move(entry)).first->second;
}

std::shared_ptr<Firmware> Simulator::firmwareLocked(const std::string& name) const {
    if (const Entry* entry = find(name)) {
        return firmware_.at(entry->firmwareName);
    }
    const auto it = firmware_.find(name);
    return it == firmware_.end() ? nullptr : it->second;
}

bool Simulator::add(const std::string& model, const std::string& busName) {
    const std::optional<Model> m = modelByName(model);
    if (!m) {
        return false;
    }
    std::lock_guard lock(mutex_);
    return addLocked(*m, busName.empty() ? model : busName) != nullptr;
}

bool Simulator::plug(const std::string& modelOrBusName, const std::string& busName) {
    std::lock_guard plugLock(plugMutex_);
    std::shared_ptr<UsbDevice> device;
    {
        std::lock_guard lock(mutex_);
        Entry* entry = nullptr;
        if (busName.empty()) {
            entry = find(modelOrBusName);
        } else if (const std::optional<Model> model = modelByName(modelOrBusName)) {
            entry = addLocked(*model, busName);
        }
        if (entry == nullptr) {
            log::debugf("sim: cannot plug \"%s\" as \"%s\"", modelOrBusName.c_str(),
                        busName.c_str());
            return false;
        }
        device = entry->device;
    }
    if (device->attached()) {
        return false;
    }
    return bus_->plug(device);
}

bool Simulator::unplug(const std::string& busName) {
    std::lock_guard plugLock(plugMutex_);
    std::shared_ptr<UsbDevice> device = this->device(busName);
    if (!device || !device->attached()) {
        return false;
    }
    return bus_->unplug(busName);
}

bool Simulator::isPlugged(const std::string& busName) const {
    const std::shared_ptr<UsbDevice> d = device(busName);
    return d && d->attached();
}

bool Simulator::link(const std::string& busName, bool on) {
    const std::shared_ptr<UsbDevice> d = device(busName);
    return d && d->setLink(on);
}

bool Simulator::notify(const std::string& busName, uint16_t code) {
    const std::shared_ptr<UsbDevice> d = device(busName);
    return d && d->notify(code);
}

bool Simulator::setLatency(const std::string& busName, std::chrono::microseconds latency) {
    const std::shared_ptr<UsbDevice> d = device(busName);
    if (!d) {
        return false;
    }
    d->setLatency(latency);
    return true;
}

FaultPlan& Simulator::faults(const std::string& busName) {
    const std::shared_ptr<UsbDevice> d = device(busName);
    if (!d) {
        throw std::out_of_range("no simulated device named \"" + busName + "\"");
    }
    // Devices live as long as the simulator, so the reference stays valid.
    return d->faults();
}

bool Simulator::configure(const std::string& name, const FirmwareConfig& config) {
    std::lock_guard plugLock(plugMutex_);
    std::shared_ptr<Firmware> firmware;
    {
        std::lock_guard lock(mutex_);
        firmware = firmwareLocked(name);
        if (!firmware) {
            return false;
        }
        for (const auto& [busName, entry] : devices_) {
            if (entry.device->firmware() == firmware && entry.device->attached()) {
                return false;
            }
        }
    }
    return firmware->reset(config);
}

FirmwareConfig Simulator::config(const std::string& name) const {
    const std::shared_ptr<Firmware> fw = firmware(name);
    return fw ? fw->config() : FirmwareConfig{};
}

std::shared_ptr<Firmware> Simulator::firmware(const std::string& name) const {
    std::lock_guard lock(mutex_);
    return firmwareLocked(name);
}

std::shared_ptr<UsbDevice> Simulator::device(const std::string& busName) const {
    std::lock_guard lock(mutex_);
    const Entry* entry = find(busName);
    return entry ? entry->device : nullptr;
}

std::string Simulator::firmwareName(const std::string& busName) const {
    std::lock_guard lock(mutex_);
    const Entry* entry = find(busName);
    return entry ? entry->firmwareName : std::string();
}

Json::Value Simulator::dump() const {
    std::lock_guard lock(mutex_);
    Json::Value out(Json::objectValue);
    Json::Value firmware(Json::objectValue);
    for (const auto& [name, fw] : firmware_) {
        firmware[name] = fw->toJson();
    }
    Json::Value devices(Json::objectValue);
    for (const auto& [name, entry] : devices_) {
        Json::Value d = entry.device->toJson();
        d["firmware"] = entry.firmwareName;
        devices[name] = d;
    }
    out["firmware"] = firmware;
    out["devices"] = devices;
    return out;
}

bool Simulator::writeToFile(const std::filesystem::path& path) const {
    Json::StreamWriterBuilder builder;
    builder["indentation"] = "   ";
    const std::string text = Json::writeString(builder, dump()) + "\n";
    std::filesystem::path temporary = path;
    temporary += ".tmp";
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        if (!file) {
            return false;
        }
        file.write(text.data(), static_cast<std::streamsize>(text.size()));
        file.flush();
        if (!file) {
            file.close();
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            return false;
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    if (error) {
        std::filesystem::remove(temporary, error);
        return false;
    }
    return true;
}

}  // namespace korvane::sim
