#include "driver/json.hpp"

#include <cstdlib>
#include <iostream>

#include "base/exits.hpp"
#include "base/options.hpp"

std::vector<std::string> WitnessAtoms;

namespace {

struct JSON_DOCUMENT {
    std::ostream* out = nullptr;  // the real standard output; null until begun
    bool finished = false;
    unsigned models = 0;
};

JSON_DOCUMENT& document() {
    static JSON_DOCUMENT d;
    return d;
}

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

std::string stringList(const std::vector<std::string>& items) {
    std::string text = "[";
    for (std::size_t n = 0; n < items.size(); ++n) {
        if (n) text += ", ";
        text += JsonString(items[n]);
    }
    return text + "]";
}

std::string rejectedObject(const EXPLANATION& e) {
    std::string text =
        "{\"Program\": " + std::to_string(e.program) + ", \"Rule\": " + std::to_string(e.rule);
    if (e.origin) {
        text += ", \"File\": " + JsonString(OriginInputs[e.origin->input]) +
                ", \"Line\": " + std::to_string(e.origin->line) +
                ", \"Text\": " + JsonString(e.origin->text);
    }
    text += ", \"Bindings\": {";
    for (std::size_t n = 0; n < e.bindings.size(); ++n) {
        if (n) text += ", ";
        text += JsonString(e.bindings[n].first) + ": " + JsonString(e.bindings[n].second);
    }
    text += "}, \"By\": " + (e.by.empty() ? std::string("null") : JsonString(e.by));
    text +=
        ", \"ByProgram\": " + (e.byProgram < 0 ? std::string("null") : std::to_string(e.byProgram));
    return text + "}";
}

// ,"Rejected": [...] as the last member of a witness object.
std::string rejectedList(const std::vector<EXPLANATION>& rejected, const char* indent) {
    std::string text = ",\n" + std::string(indent) + "\"Rejected\": [";
    for (std::size_t n = 0; n < rejected.size(); ++n) {
        text += n ? ",\n" : "\n";
        text += std::string(indent) + "  " + rejectedObject(rejected[n]);
    }
    if (!rejected.empty()) text += "\n" + std::string(indent);
    return text + "]";
}

std::string goalObject(bool answer) {
    const bool shown = (OptionBrave && answer) || (OptionCautious && !answer);
    std::string text = ",\n  \"Goal\": {\n    \"Atom\": " + JsonString(Goal) +
                       ",\n    \"Reasoning\": \"" + (OptionBrave ? "brave" : "cautious") +
                       "\",\n    \"Holds\": " + (answer ? "true" : "false") +
                       ",\n    \"Witness\": " + (shown ? stringList(WitnessAtoms) : "null");
    if (OptionExplain && shown) text += rejectedList(WitnessExplanations, "    ");
    return text + "\n  }";
}

// The rest of the document after the last witness.
void finish(const char* result, bool withGoal, bool answer) {
    JSON_DOCUMENT& d = document();
    if (!d.out || d.finished) return;
    d.finished = true;
    std::string text = d.models ? "\n      ]\n    }\n  ],\n" : "]\n    }\n  ],\n";
    text += "  \"Result\": \"" + std::string(result) + "\",\n";
    text += "  \"Models\": {\n    \"Number\": " + std::to_string(d.models) + "\n  }";
    if (withGoal) text += goalObject(answer);
    text += "\n}\n";
    *d.out << text << std::flush;
}

// An end of the run before JsonFinish (a failed test evaluation, a stop on
// an error) still leaves a complete document.
void finishUnknown() { finish("UNKNOWN", false, false); }

}  // namespace

std::string JsonString(std::string_view text) {
    std::string out = "\"";
    appendEscaped(out, text);
    return out + "\"";
}

void JsonBegin(const std::string& solver, const std::vector<std::string>& inputs) {
    JSON_DOCUMENT& d = document();
    if (d.out) return;
    // The document keeps standard output's buffer; std::cout now writes to
    // standard error.
    static std::ostream json(std::cout.rdbuf());
    std::cout.rdbuf(std::cerr.rdbuf());
    d.out = &json;
    // Every end of the run through base/exits closes the document before
    // standard output is checked; the scanner's fatal error exits on its
    // own, which only atexit sees (a second call does nothing).
    AtOutputEnd(finishUnknown);
    std::atexit(finishUnknown);
    json << "{\n  \"Solver\": " << JsonString(solver) << ",\n  \"Input\": " << stringList(inputs)
         << ",\n  \"Call\": [\n    {\n      \"Witnesses\": [" << std::flush;
}

void JsonWitness(const std::vector<std::string>& atoms, const std::vector<EXPLANATION>* rejected) {
    JSON_DOCUMENT& d = document();
    if (!d.out || d.finished) return;
    std::string text = d.models++ ? ",\n" : "\n";
    text += "        {\n          \"Value\": " + stringList(atoms);
    if (rejected) text += rejectedList(*rejected, "          ");
    text += "\n        }";
    *d.out << text << std::flush;
}

void JsonFinish(bool evaluated, int status, bool answer) {
    const char* result = "UNKNOWN";
    if (evaluated && status == 0) result = document().models ? "SATISFIABLE" : "UNSATISFIABLE";
    finish(result, OptionBrave || OptionCautious, answer);
}
