#include <qmr41726/rtl/MessageText.h>

#include <algorithm>

namespace qmr {

namespace {

bool isControlByte(unsigned char c, TextEncoding encoding) {
    if (c < 0x20 || c == 0x7F)
        return true;
    return encoding == TextEncoding::Ansi && (c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D);
}

} // namespace

std::string quotedExcerpt(std::string_view text, TextEncoding encoding) {
    constexpr size_t kExcerptBytes = 40;
    // Appended piece by piece: GCC 12 at -O3 gives a false -Wrestrict for "'" + std::string.
    std::string quoted = "'";
    quoted += nameExcerpt(text, kExcerptBytes, encoding);
    quoted += '\'';
    return quoted;
}

std::string nameExcerpt(std::string_view text, std::size_t maxBytes, TextEncoding encoding) {
    size_t length = std::min(text.size(), maxBytes);
    // A UTF-8 text is not cut inside a character: back off its continuation bytes.
    while (encoding == TextEncoding::Utf8 && length < text.size() && length > 0 &&
           (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80)
        --length;
    std::string out;
    for (const char c : text.substr(0, length)) {
        const auto byte = static_cast<unsigned char>(c);
        if (isControlByte(byte, encoding)) {
            constexpr char kHex[] = "0123456789ABCDEF";
            out += "\\x";
            out += kHex[byte >> 4];
            out += kHex[byte & 15];
        } else {
            out += c;
        }
    }
    if (length < text.size())
        out += "...";
    return out;
}

} // namespace qmr
