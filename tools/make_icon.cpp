// Builds an icon file from its description (ui/brindlemark.ico.txt); see
// icon_builder.h for the description's lines.
//
//   make_icon DESCRIPTION OUTPUT
#include "generate_file.h"
#include "icon_builder.h"

int main(int argc, char** argv) {
    return generateFile(argc, argv, "make_icon", [](std::istream& in) { return buildIconFile(in); });
}
