// Loading and exporting a family: the built-in templates are staged into the
// working folder at every load, read from there, written into there at export
// and then copied into the output tree that the game picks up. Neither the
// templates nor the exported files are ever read back.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>
#include <vector>

#include "action_row.h"
#include "folders.h"

namespace helper {

// The action rows of the family with this display name, read from fresh copies
// of its templates (whatever an earlier export wrote into the staged copies is
// discarded). Throws std::invalid_argument for a family without templates.
std::vector<ActionRow> getActions(std::string_view weaponName, const Folders& folders = defaultFolders());

// Stages the family's two templates into the working folder, replacing earlier copies.
void createRes(std::string_view weaponType, const Folders& folders = defaultFolders());

// Writes the rows into the staged copies, then replaces the family's two files
// in the output tree with them (see replaceFiles); a failure throws.
void outputRes(const std::vector<ExportRow>& actions, const Folders& folders = defaultFolders());

// A template read whole by name ("\res\wp00.col"): the loose file of that
// relative name under the program's folder when there is one, otherwise the
// built-in copy.
std::vector<std::uint8_t> readTemplate(std::string_view name, const Folders& folders = defaultFolders());

// Where a loose file that replaces a built-in template would be.
std::filesystem::path looseTemplateFile(const Folders& folders, std::string_view name);

}  // namespace helper
