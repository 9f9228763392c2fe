# Turns one binary file into a C++ source that defines
#   extern const unsigned char <SYMBOL>[]; extern const std::size_t <SYMBOL>_size;
# Run as: cmake -DINPUT=file -DOUTPUT=file.cpp -DSYMBOL=name -P embed.cmake
# Pure CMake, so the native and the cross build embed the same bytes the same way.
if(NOT INPUT OR NOT OUTPUT OR NOT SYMBOL)
  message(FATAL_ERROR "embed.cmake needs INPUT, OUTPUT and SYMBOL")
endif()

file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" hex_length)
math(EXPR size "${hex_length} / 2")
# 0xAB, per byte; then break the one long line every 16 bytes.
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x..,){16})" "\\1\n    " bytes "${bytes}")

file(WRITE "${OUTPUT}.tmp"
"// Generated from ${INPUT} by cmake/embed.cmake; do not edit.\n"
"#include <cstddef>\n"
"extern const unsigned char ${SYMBOL}[];\n"
"extern const std::size_t ${SYMBOL}_size;\n"
"alignas(16) const unsigned char ${SYMBOL}[${size} + 1] = {\n    ${bytes}0x00};\n"
"const std::size_t ${SYMBOL}_size = ${size};\n")
# Only touch the output when the bytes changed, so a re-run rebuilds nothing.
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
