// What a pair of collision files changes against the templates: the edited
// fields of every action, and any other byte (which the editor never writes).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "family.h"

namespace cli {

struct FieldChange {
    std::string key;      // action key, "05"
    std::string name;     // the action's name, empty when it has none
    std::string caption;  // the field's column caption
    std::string before;   // display texts
    std::string after;
};

// A run of changed bytes outside the editable fields.
struct ByteChange {
    int fileIndex;
    std::size_t offset;
    Bytes before;
    Bytes after;
};

struct LengthChange {
    int fileIndex;
    std::size_t before;
    std::size_t after;
};

struct Differences {
    std::string weaponType;           // the family whose files were compared
    std::vector<FieldChange> fields;  // file, slot and column order
    std::vector<ByteChange> bytes;    // file and offset order
    std::vector<LengthChange> lengths;

    bool empty() const { return fields.empty() && bytes.empty() && lengths.empty(); }
};

// Compares `files` with `templates` (one family's, with their record tables at
// the same offsets). The editable fields are those of the templates' actions;
// a field is changed when its stored bytes differ.
Differences compareFamily(const FamilyFiles& templates, const FamilyFiles& files);

// One line per changed field (aligned), one per run of other changed bytes and
// per changed length, then a count.
std::string differencesText(const Differences& differences);

}  // namespace cli
