#include <iconv.h>

#include <cerrno>
#include <memory>
#include <stdexcept>
#include <type_traits>

#include "code_page.h"

namespace cli {

namespace {

struct IconvCloser {
    void operator()(iconv_t converter) const { iconv_close(converter); }
};
using Converter = std::unique_ptr<std::remove_pointer_t<iconv_t>, IconvCloser>;

Converter openConverter() {
    // glibc knows the code page by both names; other C libraries by one of them.
    for (const char* name : {"CP936", "GBK"}) {
        const iconv_t converter = iconv_open("UTF-8", name);
        if (converter != reinterpret_cast<iconv_t>(-1)) return Converter(converter);
    }
    throw std::runtime_error("this system's iconv cannot convert text in code page 936 (GBK)");
}

}  // namespace

std::optional<std::string> utf8FromCodePage936(std::string_view bytes) {
    const Converter converter = openConverter();
    // One byte becomes at most three (0x80 is the euro sign, U+20AC).
    std::string out(bytes.size() * 3, '\0');
    char* in = const_cast<char*>(bytes.data());  // iconv's parameter is not const, but it only reads
    std::size_t inLeft = bytes.size();
    char* next = out.data();
    std::size_t outLeft = out.size();
    if (iconv(converter.get(), &in, &inLeft, &next, &outLeft) == static_cast<std::size_t>(-1)) {
        if (errno == EILSEQ || errno == EINVAL) return std::nullopt;
        throw std::runtime_error("cannot convert text in code page 936 (GBK)");
    }
    out.resize(out.size() - outLeft);
    return out;
}

}  // namespace cli
