// A strict little JSON reader for the tests of VSysScan's report: the whole text must be one JSON
// value (white space around it allowed); anything else throws std::runtime_error. Strings come
// back as their UTF-8 bytes, with \u escapes of ASCII characters decoded. Portable.
#pragma once

#include <cctype>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace vsc::test {

struct Json {
    enum Type { Null, Bool, Number, String, Array, Object } type = Null;
    double number = 0;
    std::string text;                     // String; "true"/"false" for Bool
    std::vector<Json> items;              // Array
    std::map<std::string, Json> members;  // Object
    std::vector<std::string> keys;        // Object: member names in document order

    const Json& operator[](const std::string& key) const {
        auto it = members.find(key);
        if (it == members.end()) throw std::runtime_error("no member " + key);
        return it->second;
    }
    const Json& operator[](std::size_t i) const { return items.at(i); }
};

class JsonReader {
public:
    static Json Parse(const std::string& text) {
        JsonReader r(text);
        Json value = r.Value();
        if (r.Peek() != '\0') r.Fail("text after the value");
        return value;
    }

private:
    explicit JsonReader(const std::string& text) : s_(text) {}

    const std::string& s_;
    std::size_t pos_ = 0;

    [[noreturn]] void Fail(const std::string& what) const {
        throw std::runtime_error("JSON: " + what + " at " + std::to_string(pos_));
    }
    // The next character after white space ('\0' at the end).
    char Peek() {
        while (pos_ < s_.size() && std::string(" \t\r\n").find(s_[pos_]) != std::string::npos) ++pos_;
        return pos_ < s_.size() ? s_[pos_] : '\0';
    }
    bool Take(char c) { return Peek() == c ? (++pos_, true) : false; }
    void Expect(char c) {
        if (!Take(c)) Fail(std::string("expected ") + c);
    }
    bool Word(const std::string& w) { return s_.compare(pos_, w.size(), w) == 0 ? (pos_ += w.size(), true) : false; }

    Json Value() {
        Json v;
        const char c = Peek();
        if (Take('{')) {
            v.type = Json::Object;
            if (Take('}')) return v;
            do {
                if (Peek() != '"') Fail("expected a member name");
                const std::string key = StringBody();
                Expect(':');
                if (v.members.count(key)) Fail("member " + key + " twice");
                v.keys.push_back(key);
                v.members[key] = Value();
            } while (Take(','));
            Expect('}');
        } else if (Take('[')) {
            v.type = Json::Array;
            if (Take(']')) return v;
            do v.items.push_back(Value());
            while (Take(','));
            Expect(']');
        } else if (c == '"') {
            v.type = Json::String;
            v.text = StringBody();
        } else if (Word("true") || Word("false")) {
            v.type = Json::Bool;
            v.text = s_[pos_ - 1] == 'e' && s_[pos_ - 2] == 'u' ? "true" : "false";
        } else if (!Word("null")) {
            const std::size_t start = pos_;
            while (pos_ < s_.size() && std::string("-+.eE0123456789").find(s_[pos_]) != std::string::npos) ++pos_;
            if (pos_ == start) Fail("unexpected character");
            v.type = Json::Number;
            v.number = std::stod(s_.substr(start, pos_ - start));
        }
        return v;
    }

    // At the opening quote; returns the text and stands after the closing quote.
    std::string StringBody() {
        ++pos_;
        std::string out;
        for (;;) {
            if (pos_ >= s_.size()) Fail("unterminated string");
            const char c = s_[pos_++];
            if (c == '"') return out;
            if (static_cast<unsigned char>(c) < 0x20) Fail("control character in a string");
            if (c != '\\') {
                out.push_back(c);
                continue;
            }
            const std::string escapes = "\"\\/bfnrt", meanings = "\"\\/\b\f\n\r\t";
            const std::size_t e = pos_ < s_.size() ? escapes.find(s_[pos_]) : std::string::npos;
            if (e != std::string::npos) {
                out.push_back(meanings[e]);
                ++pos_;
            } else if (Word("u00") && pos_ + 2 <= s_.size() && s_[pos_] >= '0' && s_[pos_] <= '7' &&
                       std::isxdigit(static_cast<unsigned char>(s_[pos_ + 1]))) {
                // The report escapes only control characters this way; other text comes as UTF-8.
                out.push_back(static_cast<char>(std::stoi(s_.substr(pos_, 2), nullptr, 16)));
                pos_ += 2;
            } else {
                Fail("unknown escape");
            }
        }
    }
};

}  // namespace vsc::test
