// The action row: one editable record of one attack action.
//
// The same record travels in two forms. Rows made by the reader carry the
// damage type as its number and the seven values as the display texts of the
// floats in the file ("48", "1.15"); rows handed to the writer carry the damage
// type as its code text ("1") and the seven values as numbers parsed from the
// grid. Both forms share one field list.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace helper {

template <typename Value, typename DamageType>
struct ActionFields {
    std::string weaponType;              // family code, "00" to "13"
    int fileIndex = 0;                   // 0: wpNN.col, 1: wpNN_01.col
    int actIndex = 0;                    // slot of the record in the file's table
    std::optional<std::string> actName;  // unset when the action key has no name
    DamageType damageType{};
    Value actVal{};    // action (motion) value
    Value wlMagn{};    // physical multiplier
    Value sxMagn{};    // element multiplier
    Value ycsxMagn{};  // status multiplier
    Value qjVal{};     // stun value
    Value mqVal{};     // stamina-drain value
    Value qcVal{};     // mount value

    bool operator==(const ActionFields& other) const {
        return weaponType == other.weaponType && fileIndex == other.fileIndex &&
               actIndex == other.actIndex && actName == other.actName &&
               damageType == other.damageType && actVal == other.actVal &&
               wlMagn == other.wlMagn && sxMagn == other.sxMagn && ycsxMagn == other.ycsxMagn &&
               qjVal == other.qjVal && mqVal == other.mqVal && qcVal == other.qcVal;
    }
    bool operator!=(const ActionFields& other) const { return !(*this == other); }
};

using ActionRow = ActionFields<std::string, int>;  // as read: display texts
using ExportRow = ActionFields<double, std::string>;  // as written: numbers

// The seven value fields in record order (offsets 8, 16, 20, ..., 36), which is
// also the order of the grid's value columns.
template <typename Row>
inline constexpr std::array<decltype(&Row::actVal), 7> valueMembers{
    &Row::actVal, &Row::wlMagn, &Row::sxMagn, &Row::ycsxMagn,
    &Row::qjVal, &Row::mqVal, &Row::qcVal};

struct FieldInfo {
    std::string_view name;     // the field's name, as in JSON
    std::string_view caption;  // the text under which the editor shows it
};

inline constexpr std::array<FieldInfo, 7> valueFieldInfo{{
    {"actVal", "动作值"},
    {"wlMagn", "物理倍率"},
    {"sxMagn", "属性倍率"},
    {"ycsxMagn", "异常属性倍率"},
    {"qjVal", "眩晕值"},
    {"mqVal", "夺取耐力值"},
    {"qcVal", "骑乘值"},
}};

// A new row with every field unset (empty texts, zero numbers, no name).
inline ActionRow action() { return ActionRow{}; }

// The export row of the same record: family, file, slot and name as in
// `row`; the damage type and the values are the caller's to set.
inline ExportRow exportRowFor(const ActionRow& row) {
    ExportRow out;
    out.weaponType = row.weaponType;
    out.fileIndex = row.fileIndex;
    out.actIndex = row.actIndex;
    out.actName = row.actName;
    return out;
}

}  // namespace helper
