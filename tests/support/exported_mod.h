// A great-sword mod as the editor exports it: the templates with a few fields
// of three records changed, and a list of edits as a spreadsheet saves it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "fixtures.h"
#include "float32.h"
#include "generated_family.h"

namespace testing_support {

// Grid row 1 (wp00.col, slot 0): 打击, 动作值 250. Grid row 9 (wp00.col,
// slot 9): 眩晕值 35. Grid row 60 (wp00_01.col, slot 3): 物理倍率 1.35,
// 骑乘值 12.5.
inline std::array<Bytes, 2> exportedMod() {
    std::array<Bytes, 2> files{templateBytes(0), templateBytes(1)};
    std::uint8_t* slot0 = files[0].data() + 3685;
    slot0[4] = 2;
    helper::storeFloat32(slot0 + 8, 250.0f);
    helper::storeFloat32(files[0].data() + 3685 + 9 * 217 + 28, 35.0f);
    std::uint8_t* slot3 = files[1].data() + 439 + 3 * 217;
    helper::storeFloat32(slot3 + 16, 1.35f);
    helper::storeFloat32(slot3 + 36, 12.5f);
    return files;
}

// The generated long sword's wp03_01.col with the 动作值 of slot 1 (grid
// row 7) made 40 from 33.
inline Bytes longSwordModFile1() {
    Bytes file = generatedFile(1);
    helper::storeFloat32(file.data() + 219 + 217 + 8, 40.0f);
    return file;
}

// Semicolons, a decimal comma, 动作序号 turned into numbers, a byte-order
// mark and CRLF: grid row 1 gets 伤害类型 弹 and 物理倍率 1.25, grid row 60
// 伤害类型 切断 and 物理倍率 2.
inline const std::string spreadsheetList =
    "\xEF\xBB\xBF动作序号;伤害类型;物理倍率;文件序号;实际动作序号\r\n"
    "0;弹;1,25;0;0\r\n"
    "13;切断;2;1;3\r\n";

}  // namespace testing_support
