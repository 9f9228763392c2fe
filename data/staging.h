// Loading and exporting a family: its two templates are staged into the
// working folder at every load, read from there, written into there at export
// and then copied into the output tree that the game picks up. Neither the
// templates nor the exported files are ever read back.
//
// A family's templates are the loose files res\wpNN.col and res\wpNN_01.col
// beside the program where they are, otherwise the built-in copies (the great
// sword's only). Every template is walked before it is staged: one that does
// not follow the collision-file layout, or whose record table is not where the
// catalogue places it, is refused with its path and the reason, and nothing is
// staged. The catalogue's names and offsets serve where it has them; the
// other families' come from their files.
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
// discarded). Throws std::invalid_argument for a name that is no family's, and
// FileError for templates that are missing or refused.
std::vector<ActionRow> getActions(std::string_view weaponName, const Folders& folders = defaultFolders());

// Stages the family's two templates into the working folder, replacing
// earlier copies; both are read and checked before either is written.
void createRes(std::string_view weaponType, const Folders& folders = defaultFolders());

// Writes the rows into the staged copies, then replaces the family's two files
// in the output tree with them (see replaceFiles); a failure throws.
void outputRes(const std::vector<ExportRow>& actions, const Folders& folders = defaultFolders());

// Whether the family has templates to load: built-in ones, or a loose file of
// either name (which the load then reads, or refuses with its path).
bool hasTemplates(std::string_view weaponType, const Folders& folders = defaultFolders());

struct TemplateFile {
    std::filesystem::path source;  // the loose file, or the name of the built-in copy
    std::vector<std::uint8_t> bytes;
};

// A template read whole by name ("\res\wp00.col"): the loose file of that
// relative name under the program's folder when there is one (anything there
// that is not a regular file is refused), otherwise the built-in copy.
TemplateFile readTemplate(std::string_view name, const Folders& folders = defaultFolders());

// Where a loose file that replaces a built-in template would be.
std::filesystem::path looseTemplateFile(const Folders& folders, std::string_view name);

}  // namespace helper
