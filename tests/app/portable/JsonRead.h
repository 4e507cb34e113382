// A strict little JSON reader for the tests of VSysScan's report: the whole text must be one JSON
// value (white space around it allowed); anything else throws std::runtime_error. Strings come
// back as UTF-8, \u escapes (surrogate pairs included) decoded. Portable.
#pragma once

#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace vsc::test {

struct Json {
    enum Type { Null, Bool, Number, String, Array, Object } type = Null;
    bool boolean = false;
    double number = 0;
    std::string text;
    std::vector<Json> items;
    std::map<std::string, Json> members;
    std::vector<std::string> keys;  // member names in document order

    bool Has(const std::string& key) const { return members.count(key) != 0; }
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
        r.Blanks();
        if (r.pos_ != text.size()) r.Fail("text after the value");
        return value;
    }

private:
    explicit JsonReader(const std::string& text) : s_(text) {}

    [[noreturn]] void Fail(const std::string& what) const {
        throw std::runtime_error("JSON: " + what + " at " + std::to_string(pos_));
    }
    void Blanks() {
        while (pos_ < s_.size() && (s_[pos_] == ' ' || s_[pos_] == '\t' || s_[pos_] == '\r' || s_[pos_] == '\n')) ++pos_;
    }
    bool Take(char c) {
        Blanks();
        if (pos_ < s_.size() && s_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }
    void Expect(char c) {
        if (!Take(c)) Fail(std::string("expected ") + c);
    }
    bool Word(const char* w) {
        const std::string word(w);
        if (s_.compare(pos_, word.size(), word) != 0) return false;
        pos_ += word.size();
        return true;
    }

    Json Value() {
        Blanks();
        if (pos_ >= s_.size()) Fail("end of text");
        Json v;
        const char c = s_[pos_];
        if (c == '{') {
            ++pos_;
            v.type = Json::Object;
            if (Take('}')) return v;
            do {
                Blanks();
                if (pos_ >= s_.size() || s_[pos_] != '"') Fail("expected a member name");
                std::string key = StringBody();
                Expect(':');
                if (v.members.count(key)) Fail("member " + key + " twice");
                v.keys.push_back(key);
                v.members[key] = Value();
            } while (Take(','));
            Expect('}');
        } else if (c == '[') {
            ++pos_;
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
            v.boolean = s_[pos_ - 1] == 'e' && s_[pos_ - 2] == 'u';
        } else if (Word("null")) {
        } else {
            const std::size_t start = pos_;
            if (pos_ < s_.size() && s_[pos_] == '-') ++pos_;
            while (pos_ < s_.size() && ((s_[pos_] >= '0' && s_[pos_] <= '9') || s_[pos_] == '.' || s_[pos_] == 'e' ||
                                        s_[pos_] == 'E' || s_[pos_] == '+' || s_[pos_] == '-'))
                ++pos_;
            if (pos_ == start || (pos_ == start + 1 && s_[start] == '-')) Fail("unexpected character");
            v.type = Json::Number;
            v.number = std::stod(s_.substr(start, pos_ - start));
        }
        return v;
    }

    unsigned Hex4() {
        if (pos_ + 4 > s_.size()) Fail("short \\u escape");
        unsigned value = 0;
        for (int i = 0; i < 4; ++i) {
            const char h = s_[pos_++];
            value <<= 4;
            if (h >= '0' && h <= '9') value |= static_cast<unsigned>(h - '0');
            else if (h >= 'a' && h <= 'f') value |= static_cast<unsigned>(h - 'a' + 10);
            else if (h >= 'A' && h <= 'F') value |= static_cast<unsigned>(h - 'A' + 10);
            else Fail("bad \\u escape");
        }
        return value;
    }

    static void AppendUtf8(std::string& out, unsigned cp) {
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }

    // At the opening quote; returns the decoded text and stands after the closing quote.
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
            if (pos_ >= s_.size()) Fail("unterminated escape");
            const char e = s_[pos_++];
            switch (e) {
            case '"': out.push_back('"'); break;
            case '\\': out.push_back('\\'); break;
            case '/': out.push_back('/'); break;
            case 'b': out.push_back('\b'); break;
            case 'f': out.push_back('\f'); break;
            case 'n': out.push_back('\n'); break;
            case 'r': out.push_back('\r'); break;
            case 't': out.push_back('\t'); break;
            case 'u': {
                unsigned cp = Hex4();
                if (cp >= 0xD800 && cp < 0xDC00) {
                    if (!Word("\\u")) Fail("lone surrogate");
                    const unsigned low = Hex4();
                    if (low < 0xDC00 || low > 0xDFFF) Fail("bad surrogate pair");
                    cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                }
                AppendUtf8(out, cp);
                break;
            }
            default: Fail("unknown escape");
            }
        }
    }

    const std::string& s_;
    std::size_t pos_ = 0;
};

}  // namespace vsc::test
