#pragma once
// Conversions between the model's UTF-8 texts and paths and Qt's strings.

#include <QString>
#include <filesystem>
#include <string>
#include <string_view>

namespace vanto::ui {

inline QString qs(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}
inline std::string utf8(const QString& text) {
    return text.toStdString();
}

inline QString qpath(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}
inline std::filesystem::path fspath(const QString& path) {
    return std::filesystem::path(path.toStdString());
}

}  // namespace vanto::ui
