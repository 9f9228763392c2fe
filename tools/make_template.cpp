// Builds a collision file from its description (templates/*.col.txt); see
// collision_builder.h for the description's lines.
//
//   make_template DESCRIPTION OUTPUT
#include "collision_builder.h"
#include "generate_file.h"

int main(int argc, char** argv) {
    return generateFile(argc, argv, "make_template", [](std::istream& in) { return buildCollisionFile(in); });
}
