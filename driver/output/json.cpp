#include "driver/output/json.hpp"

namespace {

// The length of the valid UTF-8 sequence at s[i], or 0 when there is none
// (overlong forms, surrogates and codes above U+10FFFF are not valid).
std::size_t utf8Length(std::string_view s, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = byte(i);
    std::size_t n;
    unsigned char low = 0x80, high = 0xbf;  // bounds of the second byte
    if (c >= 0xc2 && c <= 0xdf) n = 2;
    else if (c >= 0xe0 && c <= 0xef)
        n = 3, low = c == 0xe0 ? 0xa0 : 0x80, high = c == 0xed ? 0x9f : 0xbf;
    else if (c >= 0xf0 && c <= 0xf4)
        n = 4, low = c == 0xf0 ? 0x90 : 0x80, high = c == 0xf4 ? 0x8f : 0xbf;
    else return 0;
    if (i + n > s.size() || byte(i + 1) < low || byte(i + 1) > high) return 0;
    for (std::size_t k = 2; k < n; ++k)
        if ((byte(i + k) & 0xc0) != 0x80) return 0;
    return n;
}

void appendEscapedByte(std::string& out, unsigned char c) {
    static const char digits[] = "0123456789abcdef";
    out += "\\u00";
    out += digits[c >> 4];
    out += digits[c & 0xf];
}

void appendEscaped(std::string& out, std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80) {
            const std::size_t n = utf8Length(text, i);
            if (n == 0) appendEscapedByte(out, c);
            else out.append(text.substr(i, n));
            i += n ? n : 1;
            continue;
        }
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\t': out += "\\t"; break;
            case '\r': out += "\\r"; break;
            case '\b': out += "\\b"; break;
            case '\f': out += "\\f"; break;
            default:
                if (c < 0x20) appendEscapedByte(out, c);
                else out += static_cast<char>(c);
        }
        ++i;
    }
}

}  // namespace

std::string JsonString(std::string_view text) {
    std::string out = "\"";
    appendEscaped(out, text);
    return out + "\"";
}
