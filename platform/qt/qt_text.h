#pragma once

#include <QString>

#include <string>
#include <string_view>

// UTF-8 std::string on our side, QString on Qt's.
namespace korvane::qt {

inline QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string toStdString(const QString& text) {
    return text.toStdString();
}

}  // namespace korvane::qt
