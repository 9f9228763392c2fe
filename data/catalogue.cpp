#include "catalogue.h"

#include <algorithm>

namespace helper {

namespace {

template <typename Table, typename Key, typename Projection>
auto findFirst(const Table& table, const Key& key, Projection project) {
    return std::find_if(std::begin(table), std::end(table),
                        [&](const auto& entry) { return project(entry) == key; });
}

}  // namespace

std::optional<std::string_view> weaponTypeCode(std::string_view name) {
    auto it = findFirst(weaponTypes, name, [](const CodeName& e) { return e.name; });
    if (it == weaponTypes.end()) return std::nullopt;
    return it->code;
}

std::optional<std::string_view> damageTypeName(int code) {
    const std::string text = std::to_string(code);
    auto it = findFirst(damageTypes, text, [](const CodeName& e) { return e.code; });
    if (it == damageTypes.end() || it->name.empty()) return std::nullopt;
    return it->name;
}

std::optional<std::string_view> damageTypeCode(std::string_view name) {
    auto it = findFirst(damageTypes, name, [](const CodeName& e) { return e.name; });
    if (it == damageTypes.end()) return std::nullopt;
    return it->code;
}

const TableOffsets* findActionOffsets(std::string_view weaponType) {
    auto it = findFirst(actionOffsets, weaponType, [](const FamilyOffsets& e) { return e.code; });
    return it == actionOffsets.end() ? nullptr : &it->offsets;
}

const ActionNameTable* findActionNames(std::string_view weaponType) {
    auto it = findFirst(actionNames, weaponType, [](const FamilyActionNames& e) { return e.code; });
    return it == actionNames.end() ? nullptr : &it->names;
}

std::optional<std::string_view> actionName(const ActionNameTable& names, std::string_view key) {
    auto it = findFirst(names, key, [](const ActionName& e) { return e.key; });
    if (it == names.end()) return std::nullopt;
    return it->name;
}

std::string actionKey(int fileIndex, int slot) {
    return std::to_string(fileIndex) + std::to_string(slot);
}

}  // namespace helper
