#include "editor_spec.h"

namespace {

std::vector<std::string> split(std::string_view text, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find(separator, start);
        parts.emplace_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos) return parts;
        start = end + 1;
    }
}

}  // namespace

std::vector<std::string> splitEditorSpec(std::string_view editorSpec) { return split(editorSpec, ';'); }

std::vector<std::string> editorItems(std::string_view field) {
    while (!field.empty() && (field.front() == '{' || field.front() == '}')) field.remove_prefix(1);
    while (!field.empty() && (field.back() == '{' || field.back() == '}')) field.remove_suffix(1);
    if (field.empty()) return {};
    return split(field, ',');
}

std::optional<int> editorColumn(std::string_view field) {
    if (field.empty() || field.size() > 4) return std::nullopt;
    int column = 0;
    for (const char c : field) {
        if (c < '0' || c > '9') return std::nullopt;
        column = column * 10 + (c - '0');
    }
    if (column == 0) return std::nullopt;
    return column;
}
