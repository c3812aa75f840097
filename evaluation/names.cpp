#include "names.hpp"

namespace vok::evaluation {

namespace {

bool plain_char(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

int hex_value(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::string encode_predicate(const Name& name) {
    if (name.kind == Name::Kind::Identifier) {
        bool clingo_reads_as_is =
            !name.text.empty() && name.text[0] >= 'a' && name.text[0] <= 'z' && name.text != "not";
        return clingo_reads_as_is ? name.text : "u'" + name.text;
    }
    static const char digits[] = "0123456789ABCDEF";
    std::string out = "s'";
    out.reserve(2 + name.text.size());
    for (unsigned char c : name.text) {
        if (plain_char(c)) {
            out += static_cast<char>(c);
        } else {
            out += '\'';
            out += digits[c >> 4];
            out += digits[c & 15];
        }
    }
    return out;
}

std::string decode_predicate(std::string_view clingo_name) {
    if (clingo_name.starts_with("u'")) return std::string(clingo_name.substr(2));
    if (!clingo_name.starts_with("s'")) return std::string(clingo_name);
    std::string out;
    for (std::size_t i = 2; i < clingo_name.size(); ++i) {
        char c = clingo_name[i];
        if (c != '\'') {
            out += c;
            continue;
        }
        int hi = i + 1 < clingo_name.size() ? hex_value(clingo_name[i + 1]) : -1;
        int lo = i + 2 < clingo_name.size() ? hex_value(clingo_name[i + 2]) : -1;
        if (hi < 0 || lo < 0) return std::string(clingo_name);  // not one of ours
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
    }
    return out;
}

}  // namespace vok::evaluation
