// The mouse's profile: sensitivity stages, pointer and report-rate settings, angle
// correction choices, on top of the sections every device has.
#pragma once

#include <vector>

#include "profile/basic_profile_data.h"

namespace korvane::profile {

class CMouseProfiledata : public CBasicProfiledata {
  public:
    // "DPIStages": "StageActive" first, then each stage of "StageDPIs" replaces the stored
    // stage at its position (stages beyond the stored list are appended, stored stages
    // beyond the ones read stay). Without the section nothing changes.
    std::vector<DpiStage> ReadDPIStages();
    // "SystemStages" (mouse form) with "ReportStages"; without "SystemStages" all zero,
    // without "ReportStages" its half-word is zero.
    SystemWords ReadSystemStages();
    // "CorrectInfo"; without it an empty list.
    std::vector<CorrectEntry> ReadCorrectInfo();

    // Stage i of `stages` into "StageDPIs"[i]; later stages stay.
    void WriteDPIStages(const std::vector<DpiStage>& stages);
    void WriteDPIStageActive(int stage);
    void WriteSystemStages(const SystemWords& words);

    const std::vector<DpiStage>& dpiStages() const { return dpiStages_; }
    int activeStage() const { return activeStage_; }
    const SystemWords& systemWords() const { return systemWords_; }
    const std::vector<CorrectEntry>& correctInfo() const { return correctInfo_; }

  private:
    std::vector<DpiStage> dpiStages_;
    int activeStage_ = 0;
    SystemWords systemWords_;
    std::vector<CorrectEntry> correctInfo_;
};

}  // namespace korvane::profile
