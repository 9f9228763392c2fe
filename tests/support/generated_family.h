// A family the catalogue knows nothing of, as a modder would put its two files
// in res\ beside the program: the long sword (太刀, "03"), built from a
// description. Its tables lie elsewhere than the great sword's, its names
// come only from its name tables.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "collision_builder.h"

namespace testing_support {

inline constexpr const char* generatedFamily = "03";
inline constexpr const char* generatedFamilyName = "太刀";

inline const std::string& generatedDescription(int fileIndex) {
    static const std::string descriptions[2] = {
        R"(# wp03.col
filler 3031
header 98 0 103
name  0  0  0  1 "縦斬り"
name  0  1  0  2 "突き"
name -1 -1 -1  3 ""
name  1  3  0  4 "気刃斬り1"
name  1  3  0  5 "気刃斬り1改"
name  2  5  0  6 "気刃大回転斬り"
clnd 98 1
group 2
group 0
group 1
atk 44C66F19 98 1
# slot damage actVal wlMagn sxMagn ycsxMagn qjVal mqVal qcVal
record 0 1 24 1 1 1 0 0 0
record 1 1 18 1 1 1 0 0 0
record 2 0 1 1 1 1 0 0 0
record 3 1 30 1.05 1 1 0 0 0
record 4 2 12 1 1 1 15 10 0
record 5 1 90 1.2 1.5 1.5 0 0 20
oap F15719FF 98 16
)",
        R"(# wp03_01.col
filler 3032
header 98 0 103
name 0 0 0 1 "蹴り"
name 0 1 0 2 "居合"
clnd 98 1
group 1
atk 44C66F19 98 1
record 0 2 6 1 0 0 12 8 0
record 1 1 33 1.1 1 1 0 0 0
oap F15719FF 98 20
)"};
    return descriptions[fileIndex];
}

inline std::vector<std::uint8_t> generatedFile(int fileIndex) {
    return buildCollisionFile(generatedDescription(fileIndex));
}

}  // namespace testing_support
