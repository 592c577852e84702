// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#include "share/clock_message.h"

#include <charconv>
#include <cstdio>
#include <map>
#include <variant>

namespace tamberlight {

namespace {

constexpr int Version = 1;
constexpr std::uint64_t LargestSequence = std::uint64_t{1} << 53; // exact in any JSON reader
constexpr std::size_t LongestLeader = 128;
constexpr int DeepestNesting = 16;

// A top-level value of the object; nested objects and arrays are read and passed over.
struct Skipped {};
using Value = std::variant<Skipped, std::string, std::int64_t, bool>;

// A JSON reader for one object, strict about the grammar: anything it cannot read makes the
// whole payload no message.
class Reader {
public:
    explicit Reader(std::string_view text)
        : text_(text) {}

    std::optional<std::map<std::string, Value>> object() {
        std::map<std::string, Value> fields;
        if (!objectInto(&fields, 0))
            return std::nullopt;
        space();
        if (at_ != text_.size())
            return std::nullopt;
        return fields;
    }

private:
    void space() {
        while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t' ||
                                      text_[at_] == '\n' || text_[at_] == '\r'))
            ++at_;
    }
    bool take(char c) {
        space();
        if (at_ < text_.size() && text_[at_] == c) {
            ++at_;
            return true;
        }
        return false;
    }
    bool word(std::string_view w) {
        if (text_.substr(at_, w.size()) != w)
            return false;
        at_ += w.size();
        return true;
    }

    // An object; its fields go to fields when given.
    bool objectInto(std::map<std::string, Value>* fields, int depth) {
        if (depth > DeepestNesting || !take('{'))
            return false;
        if (take('}'))
            return true;
        do {
            std::string key;
            Value value;
            space();
            if (!string(key) || !take(':') || !valueInto(value, depth))
                return false;
            if (fields != nullptr && !fields->emplace(std::move(key), std::move(value)).second)
                return false; // a field given twice is ambiguous
        } while (take(','));
        return take('}');
    }

    bool valueInto(Value& value, int depth) {
        space();
        if (at_ >= text_.size())
            return false;
        const char c = text_[at_];
        if (c == '{')
            return value = Skipped{}, objectInto(nullptr, depth + 1);
        if (c == '[') {
            if (depth > DeepestNesting)
                return false;
            ++at_;
            if (take(']'))
                return value = Skipped{}, true;
            do {
                Value inner;
                if (!valueInto(inner, depth + 1))
                    return false;
            } while (take(','));
            return value = Skipped{}, take(']');
        }
        if (c == '"') {
            std::string s;
            return string(s) && (value = std::move(s), true);
        }
        if (word("true"))
            return value = true, true;
        if (word("false"))
            return value = false, true;
        if (word("null"))
            return value = Skipped{}, true;
        return number(value);
    }

    // A number: an integer keeps its value; one with a fraction or an exponent is read and
    // kept as passed over, which makes it no value of any field.
    bool number(Value& value) {
        const std::size_t start = at_;
        if (at_ < text_.size() && text_[at_] == '-')
            ++at_;
        const std::size_t digits = at_;
        while (at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9')
            ++at_;
        if (at_ == digits || (text_[digits] == '0' && at_ - digits > 1))
            return false;
        bool integral = true;
        if (at_ < text_.size() && text_[at_] == '.') {
            integral = false;
            const std::size_t fraction = ++at_;
            while (at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9')
                ++at_;
            if (at_ == fraction)
                return false;
        }
        if (at_ < text_.size() && (text_[at_] == 'e' || text_[at_] == 'E')) {
            integral = false;
            ++at_;
            if (at_ < text_.size() && (text_[at_] == '+' || text_[at_] == '-'))
                ++at_;
            const std::size_t exponent = at_;
            while (at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9')
                ++at_;
            if (at_ == exponent)
                return false;
        }
        std::int64_t n = 0;
        const auto [end, ec] = std::from_chars(text_.data() + start, text_.data() + at_, n);
        value = integral && ec == std::errc() ? Value(n) : Value(Skipped{});
        return true;
    }

    bool string(std::string& out) {
        if (at_ >= text_.size() || text_[at_] != '"')
            return false;
        ++at_;
        while (at_ < text_.size()) {
            const auto c = static_cast<unsigned char>(text_[at_++]);
            if (c == '"')
                return true;
            if (c < 0x20)
                return false;
            if (c != '\\') {
                out += static_cast<char>(c);
                continue;
            }
            if (at_ >= text_.size())
                return false;
            const char e = text_[at_++];
            const char* simple = "\"\\/bfnrt";
            const char* meant = "\"\\/\b\f\n\r\t";
            if (const char* found = std::char_traits<char>::find(simple, 8, e)) {
                out += meant[found - simple];
            } else if (e == 'u') {
                unsigned code = 0;
                if (!hex4(code))
                    return false;
                if (code >= 0xD800 && code <= 0xDBFF) {
                    unsigned low = 0;
                    if (!word("\\u") || !hex4(low) || low < 0xDC00 || low > 0xDFFF)
                        return false;
                    code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                } else if (code >= 0xDC00 && code <= 0xDFFF) {
                    return false;
                }
                utf8(code, out);
            } else {
                return false;
            }
        }
        return false;
    }

    bool hex4(unsigned& code) {
        if (at_ + 4 > text_.size())
            return false;
        const auto [end, ec] =
            std::from_chars(text_.data() + at_, text_.data() + at_ + 4, code, 16);
        if (ec != std::errc() || end != text_.data() + at_ + 4)
            return false;
        at_ += 4;
        return true;
    }

    static void utf8(unsigned code, std::string& out) {
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | code >> 6);
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | code >> 12);
            out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | code >> 18);
            out += static_cast<char>(0x80 | (code >> 12 & 0x3F));
            out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }

    std::string_view text_;
    std::size_t at_ = 0;
};

bool isClockText(const std::string& text) {
    const auto digit = [&](std::size_t i) { return text[i] >= '0' && text[i] <= '9'; };
    return text.size() == 5 && digit(0) && digit(1) && text[2] == ':' && digit(3) && digit(4) &&
           (text[0] - '0') * 10 + (text[1] - '0') < 24 && text[3] < '6';
}

template <typename T> const T* field(const std::map<std::string, Value>& fields, const char* key) {
    const auto it = fields.find(key);
    return it == fields.end() ? nullptr : std::get_if<T>(&it->second);
}

} // namespace

void appendJsonString(std::string& out, std::string_view text) {
    out += '"';
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
            out += escaped;
        } else {
            out += c;
        }
    }
    out += '"';
}

std::string encodeClockMessage(const ClockMessage& message) {
    std::string out = "{\"v\":" + std::to_string(Version) + ",\"clock\":";
    appendJsonString(out, message.clock);
    out += ",\"interval_ms\":" + std::to_string(message.intervalMs);
    out += message.running ? ",\"running\":true" : ",\"running\":false";
    out += message.tick ? ",\"kind\":\"tick\"" : ",\"kind\":\"jump\"";
    out += ",\"seq\":" + std::to_string(message.sequence) + ",\"leader\":";
    appendJsonString(out, message.leader);
    out += ",\"since\":" + std::to_string(message.since) +
           ",\"term\":" + std::to_string(message.term) + ",\"day\":" + std::to_string(message.day);
    if (message.baseHour >= 0)
        out += ",\"base\":" + std::to_string(message.baseHour);
    out += '}';
    return out;
}

std::optional<ClockMessage> decodeClockMessage(std::string_view payload) {
    if (payload.size() > MaxClockMessageBytes)
        return std::nullopt;
    const auto fields = Reader(payload).object();
    if (!fields)
        return std::nullopt;
    const auto* version = field<std::int64_t>(*fields, "v");
    const auto* clock = field<std::string>(*fields, "clock");
    const auto* interval = field<std::int64_t>(*fields, "interval_ms");
    const auto* running = field<bool>(*fields, "running");
    const auto* kind = field<std::string>(*fields, "kind");
    const auto* sequence = field<std::int64_t>(*fields, "seq");
    const auto* leader = field<std::string>(*fields, "leader");
    if (!version || *version < Version || !clock || !isClockText(*clock) || !interval ||
        *interval < 0 || *interval > INT32_MAX || !running || !kind ||
        (*kind != "tick" && *kind != "jump") || !sequence || *sequence < 0 ||
        static_cast<std::uint64_t>(*sequence) > LargestSequence || !leader || leader->empty() ||
        leader->size() > LongestLeader)
        return std::nullopt;
    ClockMessage message{*clock,          static_cast<std::int32_t>(*interval),  *running,
                         *kind == "tick", static_cast<std::uint64_t>(*sequence), *leader};
    // The later fields: one out of range is as if it were not there.
    if (const auto* since = field<std::int64_t>(*fields, "since"); since && *since > 0)
        message.since = static_cast<std::uint64_t>(*since);
    for (const auto& [key, into] :
         {std::pair{"term", &message.term}, std::pair{"day", &message.day}})
        if (const auto* n = field<std::int64_t>(*fields, key); n && *n >= 0 && *n <= UINT32_MAX)
            *into = static_cast<std::uint32_t>(*n);
    if (const auto* base = field<std::int64_t>(*fields, "base"); base && *base >= 0 && *base < 24)
        message.baseHour = static_cast<int>(*base);
    return message;
}

} // namespace tamberlight
