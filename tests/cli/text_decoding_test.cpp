#include "text_decoding.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using cli::TextEncoding;

TEST(TextDecoding, ReadsTheEncodingsSpreadsheetsSaveIn) {
    struct Case {
        const char* what;
        std::string bytes;
        std::string text;
        TextEncoding encoding;
    };
    const Case cases[] = {
        {"UTF-8", "动作,1\r\n", "动作,1\r\n", TextEncoding::utf8},
        {"UTF-8 with its mark", "\xEF\xBB\xBF动作\r\n", "动作\r\n", TextEncoding::utf8},
        {"only the first mark", "\xEF\xBB\xBF\xEF\xBB\xBF", "\xEF\xBB\xBF", TextEncoding::utf8},
        {"nothing", "", "", TextEncoding::utf8},
        {"UTF-16 little-endian", std::string("\xFF\xFE\xA8\x52\x5C\x4F\t\0\r\0\n\0", 12), "动作\t\r\n",
         TextEncoding::utf16LittleEndian},
        {"UTF-16 big-endian", std::string("\xFE\xFF\x52\xA8\x4F\x5C\0a", 8), "动作a", TextEncoding::utf16BigEndian},
        {"UTF-16 surrogate pair", std::string("\xFF\xFE\x3D\xD8\x00\xDE", 6), "\xF0\x9F\x98\x80",
         TextEncoding::utf16LittleEndian},
        {"UTF-16 NUL", std::string("\xFF\xFE\0\0", 4), std::string("\0", 1), TextEncoding::utf16LittleEndian},
        {"code page 936", "\xB6\xAF\xD7\xF7,\xC7\xD0\xB6\xCF\r\n", "动作,切断\r\n", TextEncoding::codePage936},
        // These bytes are valid in code page 936 too (鍔ㄤ綔), but UTF-8 wins.
        {"UTF-8 that is also GBK", "\xE5\x8A\xA8\xE4\xBD\x9C", "动作", TextEncoding::utf8},
    };
    for (const Case& c : cases) {
        const cli::DecodedText decoded = cli::decodeText(c.bytes);
        EXPECT_EQ(decoded.text, c.text) << c.what;
        EXPECT_EQ(decoded.encoding, c.encoding) << c.what;
    }
}

TEST(TextDecoding, RefusesBytesThatAreNoSuchTextWithTheirLine) {
    struct Case {
        const char* what;
        std::string bytes;
        std::size_t line;
        const char* reason;  // the start of it
    };
    const Case cases[] = {
        {"neither UTF-8 nor GBK", "a\r\nb\rc\n\xB6\xAF\xFF\r\n", 4, "the text is neither UTF-8 nor GBK"},
        {"a lone GBK lead byte at the end", "a\n\xB6", 2, "the text is neither UTF-8 nor GBK"},
        {"marked UTF-8 that is not", "\xEF\xBB\xBF" "a\r\n\xB6\xAF", 2, "the text begins as UTF-8 but is not"},
        {"overlong UTF-8 after a mark", "\xEF\xBB\xBF\xC0\xAF", 1, "the text begins as UTF-8"},
        {"a surrogate in UTF-8 after a mark", "\xEF\xBB\xBF\xED\xA0\x80", 1, "the text begins as UTF-8"},
        {"UTF-16 of odd length", std::string("\xFF\xFE" "a\0\n\0b", 7), 2, "the UTF-16 text ends in the middle"},
        {"UTF-16 lone low surrogate", std::string("\xFF\xFE\r\0\r\0\x00\xDC", 8), 3, "the UTF-16 text holds half"},
        {"UTF-16 lone high surrogate", std::string("\xFF\xFE\x3D\xD8" "a\0", 6), 1, "the UTF-16 text holds half"},
    };
    for (const Case& c : cases) {
        try {
            cli::decodeText(c.bytes);
            ADD_FAILURE() << "accepted: " << c.what;
        } catch (const cli::TextError& error) {
            EXPECT_EQ(error.line(), c.line) << c.what;
            EXPECT_EQ(std::string(error.what()).rfind(c.reason, 0), 0u) << c.what << ": " << error.what();
        }
    }
}

TEST(TextDecoding, FindsTheLineOfTheFirstByteThatIsNotUtf8) {
    EXPECT_EQ(cli::firstInvalidUtf8Line("a\r\nb\xC0\xAF\r\n"), 2u);   // overlong
    EXPECT_EQ(cli::firstInvalidUtf8Line("a\r\n\xED\xA0\x80\r\n"), 2u);  // a UTF-16 surrogate
    EXPECT_EQ(cli::firstInvalidUtf8Line("a\nb\n\xE5\x8A"), 3u);       // a sequence cut short
    EXPECT_EQ(cli::firstInvalidUtf8Line("\xF4\x90\x80\x80"), 1u);     // beyond U+10FFFF
    EXPECT_EQ(cli::firstInvalidUtf8Line("动作\r\n\xF0\x9F\x98\x80"), 0u);
}

}  // namespace
