// The fixed vocabulary of the editor: weapon families, damage types, where the
// action records of a family start in its two collision files, and the names
// of its actions. Constant tables, initialised at compile time; every text is
// UTF-8 and is shown to the user unchanged.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace helper {

struct CodeName {
    std::string_view code;
    std::string_view name;
};

// Weapon type code ("00" to "13", also the NN of wpNN.col) to display name, in
// ascending code order: the family selector lists them in this order.
inline constexpr std::array<CodeName, 14> weaponTypes{{
    {"00", "大剑"},
    {"01", "片手剑"},
    {"02", "双刀"},
    {"03", "太刀"},
    {"04", "锤子"},
    {"05", "狩猎笛"},
    {"06", "长枪"},
    {"07", "铳"},
    {"08", "斩斧"},
    {"09", "盾斧"},
    {"10", "操虫棍"},
    {"11", "弓"},
    {"12", "重弩"},
    {"13", "轻弩"},
}};

// Damage type code, as decimal text, to display name. The code is the value of
// the damage-type byte of an action record; a record with any other value is
// not an editable action.
inline constexpr std::array<CodeName, 3> damageTypes{{
    {"1", "切断"},
    {"2", "打击"},
    {"3", "弹"},
}};

// Start of the record table in file index 0 (wpNN.col) and 1 (wpNN_01.col).
using TableOffsets = std::array<std::uint32_t, 2>;

struct FamilyOffsets {
    std::string_view code;
    TableOffsets offsets;
};

inline constexpr std::array<FamilyOffsets, 1> actionOffsets{{
    {"00", {3685, 439}},
}};

struct ActionName {
    std::string_view key;  // action key, see actionKey()
    std::string_view name;
};

// A family's action names; a view of a constant array.
struct ActionNameTable {
    const ActionName* entries;
    std::size_t count;

    constexpr const ActionName* begin() const { return entries; }
    constexpr const ActionName* end() const { return entries + count; }
    constexpr std::size_t size() const { return count; }
};

inline constexpr std::array<ActionName, 36> greatSwordActionNames{{
    {"00", "直斩"},
    {"01", "横扫斩"},
    {"02", "上捞斩"},
    {"03", "横击"},
    {"04", "蓄力斩1"},
    {"05", "蓄力斩2"},
    {"06", "蓄力斩3"},
    {"08", "强蓄力斩1"},
    {"09", "强蓄力斩2"},
    {"010", "强蓄力斩3"},
    {"012", "强力横扫斩1"},
    {"013", "强力横扫斩2"},
    {"014", "强力横扫斩3"},
    {"017", "真蓄力斩-第一刀1"},
    {"018", "真蓄力斩-第一刀2"},
    {"019", "真蓄力斩-第一刀3"},
    {"020", "真蓄力斩1"},
    {"021", "真蓄力斩2"},
    {"022", "真蓄力斩3"},
    {"023", "冲撞攻击-飞身跃入横扫斩"},
    {"024", "冲撞攻击2-飞身跃入横扫斩"},
    {"025", "冲撞攻击3-飞身跃入横扫斩"},
    {"045", "跳跃蓄力斩1"},
    {"046", "跳跃蓄力斩2"},
    {"047", "跳跃蓄力斩3"},
    {"049", "蓄力上捞斩1"},
    {"050", "蓄力上捞斩2"},
    {"051", "蓄力上捞斩3"},
    {"053", "下坠突刺1"},
    {"054", "下坠突刺2"},
    {"055", "下坠突刺3"},
    {"058", "强蓄力斩-横击"},
    {"10", "踢"},
    {"11", "冲撞攻击1"},
    {"12", "冲撞攻击2"},
    {"13", "冲撞攻击3"},
}};

struct FamilyActionNames {
    std::string_view code;
    ActionNameTable names;
};

inline constexpr std::array<FamilyActionNames, 1> actionNames{{
    {"00", {greatSwordActionNames.data(), greatSwordActionNames.size()}},
}};

// Look-ups. Names are compared by exact equality: no trimming, no case folding.

// Code of the first family whose display name equals `name`.
std::optional<std::string_view> weaponTypeCode(std::string_view name);

// Display name of a damage type code (1, 2 or 3); nothing for any other code.
std::optional<std::string_view> damageTypeName(int code);

// Code text ("1", "2", "3") of the first damage type whose name equals `name`.
std::optional<std::string_view> damageTypeCode(std::string_view name);

// Record table offsets and action names of a family; null for a family that
// has none (every family but "00").
const TableOffsets* findActionOffsets(std::string_view weaponType);
const ActionNameTable* findActionNames(std::string_view weaponType);

// Name of an action key in a family's table; nothing when the key has no name.
std::optional<std::string_view> actionName(const ActionNameTable& names, std::string_view key);

// The action key of a record: the decimal file index followed directly by the
// decimal slot, without leading zeros or separator ("05", "010", "10").
std::string actionKey(int fileIndex, int slot);

}  // namespace helper
