// The JSON of action rows, both ways. Any text: actionRowFromJson refuses it
// with std::invalid_argument or reads a row that toJson writes back to a text
// read as the same row. Any row (its fields taken from the input, texts of any
// bytes, integers of any value): toJson writes a text read back as that row,
// so that deepClone copies every row exactly.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <stdexcept>
#include <string>

#include "action_row.h"
#include "fuzz_support.h"
#include "json.h"

namespace {

void checkText(std::string_view text) {
    helper::ActionRow row;
    try {
        row = helper::actionRowFromJson(text);
    } catch (const std::invalid_argument&) {
        return;  // refused; any other exception ends the run
    }
    const std::string written = helper::toJson(row);
    try {
        if (helper::actionRowFromJson(written) != row) {
            fuzz::fail("a row read and written reads back the same", fuzz::visible(written));
        }
    } catch (const std::invalid_argument& error) {
        fuzz::fail("a row read and written reads back", std::string(error.what()) + " in " + fuzz::visible(written));
    }
}

void checkRow(FuzzedDataProvider& in) {
    helper::ActionRow row;
    row.weaponType = in.ConsumeRandomLengthString(8);
    row.fileIndex = in.ConsumeIntegral<int>();
    row.actIndex = in.ConsumeIntegral<int>();
    if (in.ConsumeBool()) row.actName = in.ConsumeRandomLengthString(16);
    row.damageType = in.ConsumeIntegral<int>();
    for (const auto member : helper::valueMembers<helper::ActionRow>) row.*member = in.ConsumeRandomLengthString(8);

    const std::string written = helper::toJson(row);
    try {
        if (helper::deepClone(row) != row) fuzz::fail("a row written reads back the same", fuzz::visible(written));
    } catch (const std::invalid_argument& error) {
        fuzz::fail("a row written reads back", std::string(error.what()) + " in " + fuzz::visible(written));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzz::ExactCopy input(data, size);
    checkText(input.text());
    FuzzedDataProvider in(input.data(), input.size());
    checkRow(in);
    return 0;
}
