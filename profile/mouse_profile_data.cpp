#include "profile/mouse_profile_data.h"

#include "platform/files/json_fields.h"
#include "profile/record_fields.h"

namespace korvane::profile {
namespace {

using detail::byteField;
using detail::Field;
using detail::wordField;

constexpr Field<DpiStage> kStageFields[] = {
    byteField("StageActive", &DpiStage::StageActive),
    byteField("StageXY", &DpiStage::StageXY),
    wordField("StageDPIX", &DpiStage::StageDPIX),
    wordField("StageDPIY", &DpiStage::StageDPIY),
    byteField("StageColorR", &DpiStage::StageColorR),
    byteField("StageColorG", &DpiStage::StageColorG),
    byteField("StageColorB", &DpiStage::StageColorB),
};

constexpr Field<MouseSystemStages> kSystemFields[] = {
    wordField("DoubleClickTime", &MouseSystemStages::DoubleClickTime),
    wordField("MouseSpeed", &MouseSystemStages::MouseSpeed),
    wordField("PointerPrecision", &MouseSystemStages::PointerPrecision),
    wordField("ScorllPage", &MouseSystemStages::ScorllPage),
    wordField("WheelScorlllinse", &MouseSystemStages::WheelScorlllinse),
};

constexpr Field<MouseSystemStages> kReportFields[] = {
    wordField("StageActive", &MouseSystemStages::ReportRate),
};

constexpr Field<CorrectEntry> kCorrectFields[] = {
    byteField("CorrectPixThresh", &CorrectEntry::CorrectPixThresh),
    byteField("CorrectMinSq", &CorrectEntry::CorrectMinSq),
    byteField("CorrectSelect", &CorrectEntry::CorrectSelect),
};

}  // namespace

std::vector<DpiStage> CMouseProfiledata::ReadDPIStages() {
    const Json::Value& section = files::asObject(files::member(workingEntry(), "DPIStages"));
    if (section.isNull()) {
        return dpiStages_;
    }
    activeStage_ = files::toInt32(files::member(section, "StageActive"));
    const Json::Value& stages = files::asArray(files::member(section, "StageDPIs"));
    for (Json::ArrayIndex i = 0; i < stages.size(); ++i) {
        const DpiStage stage = detail::readRecord<DpiStage>(stages[i], kStageFields);
        if (i < dpiStages_.size()) {
            dpiStages_[i] = stage;
        } else {
            dpiStages_.push_back(stage);
        }
    }
    return dpiStages_;
}

SystemWords CMouseProfiledata::ReadSystemStages() {
    const Json::Value& section = files::asObject(files::member(workingEntry(), "SystemStages"));
    MouseSystemStages stages;
    if (!section.isNull()) {
        detail::readFields<MouseSystemStages>(section, stages, kSystemFields);
        detail::readFields<MouseSystemStages>(files::member(workingEntry(), "ReportStages"), stages,
                                              kReportFields);
    }
    systemWords_ = packMouseSystemStages(stages);
    return systemWords_;
}

std::vector<CorrectEntry> CMouseProfiledata::ReadCorrectInfo() {
    correctInfo_.clear();
    for (const Json::Value& element :
         files::asArray(files::member(workingEntry(), "CorrectInfo"))) {
        CorrectEntry entry = detail::readRecord<CorrectEntry>(element, kCorrectFields);
        entry.CorrectName = files::toText(files::member(element, "CorrectName"));
        correctInfo_.push_back(std::move(entry));
    }
    return correctInfo_;
}

void CMouseProfiledata::WriteDPIStages(const std::vector<DpiStage>& stages) {
    Json::Value& list =
        files::arrayMember(files::objectMember(mutableEntry(), "DPIStages"), "StageDPIs");
    for (Json::ArrayIndex i = 0; i < stages.size(); ++i) {
        detail::writeFields<DpiStage>(files::objectElement(list, i), stages[i], kStageFields);
    }
    dpiStages_ = stages;
}

void CMouseProfiledata::WriteDPIStageActive(int stage) {
    files::memberSlot(files::objectMember(mutableEntry(), "DPIStages"), "StageActive") = stage;
    activeStage_ = stage;
}

void CMouseProfiledata::WriteSystemStages(const SystemWords& words) {
    const MouseSystemStages stages = unpackMouseSystemStages(words);
    detail::writeFields<MouseSystemStages>(files::objectMember(mutableEntry(), "SystemStages"),
                                           stages, kSystemFields);
    detail::writeFields<MouseSystemStages>(files::objectMember(mutableEntry(), "ReportStages"),
                                           stages, kReportFields);
    systemWords_ = words;
}

}  // namespace korvane::profile
