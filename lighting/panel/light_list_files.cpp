#include "lighting/panel/light_list_files.h"

#include "platform/files/json_document.h"
#include "platform/files/json_fields.h"

namespace korvane::lighting::panel {
namespace {

// Row `index` of the array member `key`, or a null value.
const Json::Value& row(const Json::Value& document, const char* key, int index) {
    if (index < 0) {
        return Json::Value::nullSingleton();
    }
    return files::asArray(
        files::element(files::member(document, key), static_cast<Json::ArrayIndex>(index)));
}

std::vector<std::string> names(const Json::Value& list) {
    std::vector<std::string> out;
    out.reserve(list.size());
    for (const Json::Value& item : list) {
        out.push_back(files::toText(files::member(item, "LightName")));
    }
    return out;
}

}  // namespace

void applyDefaultLightDocument(const Json::Value& document, int index, LightLists& lists) {
    const Json::Value& modes = row(document, "DefaultLightName", index);
    if (!modes.isNull()) {
        lists.modeNames.clear();
        lists.modeVisible.clear();
        lists.modeCodes.clear();
        for (const Json::Value& mode : modes) {
            lists.modeNames.push_back(files::toText(files::member(mode, "LightName")));
            lists.modeVisible.push_back(files::toTruth(files::member(mode, "visible")));
            lists.modeCodes.push_back(files::toInt32(files::member(mode, "value")));
        }
    }
    const Json::Value& areas = row(document, "AreaLightName", index);
    if (!areas.isNull()) {
        lists.areaNames = names(areas);
    }
}

void applyCustomEffectIndex(const Json::Value& document, int index, LightLists& lists) {
    const Json::Value& effects = row(document, "LightInfo", index);
    if (!effects.isNull()) {
        lists.customEffectNames = names(effects);
    }
}

void readLightListFiles(const std::filesystem::path& defaultLightFile,
                        const std::filesystem::path& customEffectIndexFile, int index,
                        LightLists& lists) {
    applyDefaultLightDocument(files::ReadJsonDocument(defaultLightFile), index, lists);
    applyCustomEffectIndex(files::ReadJsonDocument(customEffectIndexFile), index, lists);
}

}  // namespace korvane::lighting::panel
