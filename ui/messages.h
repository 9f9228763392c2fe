// Every text the window shows in its message boxes.
#pragma once

#include <string_view>

namespace messages {
inline constexpr std::string_view chooseFamily = "请选择武器类型";
inline constexpr std::string_view onlyGreatSword = "目前只做了大剑 ：)";
inline constexpr std::string_view emptyList = "列表为空";
inline constexpr std::string_view exported = "导出成功，在程序运行目录下的out文件夹";
inline constexpr std::string_view loadFailed = "载入失败：";
inline constexpr std::string_view exportFailed = "导出失败：";
// Files dropped on the window that cannot be used: the file and the reason follow.
inline constexpr std::string_view dropRefused = "无法使用拖入的文件：";
inline constexpr std::string_view templatesChanged = "载入时模板文件变了，拖入的文件没有用上，请再拖入一次";
inline constexpr std::string_view dynamicButton = "动态按钮";
inline constexpr std::string_view ellipsisButton = "按钮1";
}  // namespace messages
