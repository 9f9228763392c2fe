// formatFloat on 32-bit float bit patterns: four bytes of input, little-endian,
// are one pattern (shorter inputs are padded with zero bytes, longer ones cut).
// The invariants are in float_text_invariants.h.
#include <cstdint>

#include "float_text_invariants.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::uint32_t bits = 0;
    for (std::size_t i = 0; i < size && i < 4; ++i) bits |= std::uint32_t{data[i]} << (8 * i);
    const std::string violation = fuzz::floatTextViolation(bits);
    if (!violation.empty()) fuzz::fail("the display text of a float", violation);
    return 0;
}
