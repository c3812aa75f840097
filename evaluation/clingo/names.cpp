#include "evaluation/clingo/names.hpp"

#include <stdexcept>

namespace vok::evaluation {

namespace {

bool plainChar(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::string encodePredicate(const NAME& name) {
    if (name.kind == NAME::KIND::IDENTIFIER) {
        bool clingoReadsAsIs =
            !name.text.empty() && name.text[0] >= 'a' && name.text[0] <= 'z' && name.text != "not";
        return clingoReadsAsIs ? std::string(name.text) : "u'" + std::string(name.text);
    }
    static const char digits[] = "0123456789ABCDEF";
    std::string out = "s'";
    out.reserve(2 + name.text.size());
    for (unsigned char c : name.text) {
        if (plainChar(c)) {
            out += static_cast<char>(c);
        } else {
            out += '\'';
            out += digits[c >> 4];
            out += digits[c & 15];
        }
    }
    return out;
}

std::string decodePredicate(std::string_view clingoName) {
    if (clingoName.starts_with("u'")) return std::string(clingoName.substr(2));
    if (!clingoName.starts_with("s'")) return std::string(clingoName);
    std::string out;
    for (std::size_t i = 2; i < clingoName.size(); ++i) {
        char c = clingoName[i];
        if (c != '\'') {
            out += c;
            continue;
        }
        int hi = i + 1 < clingoName.size() ? hexValue(clingoName[i + 1]) : -1;
        int lo = i + 2 < clingoName.size() ? hexValue(clingoName[i + 2]) : -1;
        if (hi < 0 || lo < 0) return std::string(clingoName);  // not one of ours
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
    }
    return out;
}

const std::uint32_t* findDataName(const DATA_NAMES& data, const NAME& name) {
    if (name.number >= data.idOfText.size()) return nullptr;
    const std::uint32_t* id = &data.idOfText[name.number];
    return *id == DATA_NAMES::NoId ? nullptr : id;
}

std::uint32_t addDataName(DATA_NAMES& data, const NAME& name, std::uint32_t family) {
    if (name.number == NAME::NoNumber)
        throw std::logic_error("a predicate written as data must come from a read program");
    if (data.idOfText.size() <= name.number)
        data.idOfText.resize(name.number + 1, DATA_NAMES::NoId);
    std::uint32_t& id = data.idOfText[name.number];
    if (id == DATA_NAMES::NoId) {
        id = static_cast<std::uint32_t>(data.texts.size());
        data.texts.emplace_back(name.text);
        data.family.push_back(family);
    }
    return id;
}

}  // namespace vok::evaluation
