#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Just enough JSON to check the runner's state lines: objects (keys in the
// order written), arrays, numbers, strings and null. Throws nothing: a parse
// error leaves ok() false.
struct JsonValue {
    enum class Type { Null, Number, String, Array, Object } type = Type::Null;
    double number = 0.0;
    std::string text;     // a string's value, or a number's source text
    std::vector<JsonValue> items;
    std::vector<std::pair<std::string, JsonValue>> members;

    const JsonValue* get(std::string_view key) const
    {
        for (const auto& [k, v] : members) {
            if (k == key) {
                return &v;
            }
        }
        return nullptr;
    }
    std::vector<std::string> keys() const
    {
        std::vector<std::string> k;
        for (const auto& m : members) {
            k.push_back(m.first);
        }
        return k;
    }
};

class JsonParser {
public:
    explicit JsonParser(std::string_view s) : s_(s) {}

    bool parse(JsonValue& out)
    {
        const bool good = value(out);
        space();
        return good && i_ == s_.size();
    }

private:
    void space()
    {
        while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\n' || s_[i_] == '\t' || s_[i_] == '\r')) {
            ++i_;
        }
    }
    bool literal(std::string_view word)
    {
        if (s_.substr(i_, word.size()) != word) {
            return false;
        }
        i_ += word.size();
        return true;
    }
    bool string(std::string& out)
    {
        if (i_ >= s_.size() || s_[i_] != '"') {
            return false;
        }
        const std::size_t end = s_.find('"', i_ + 1);
        if (end == std::string_view::npos) {
            return false;
        }
        out = std::string(s_.substr(i_ + 1, end - i_ - 1));
        i_ = end + 1;
        return true;
    }
    bool value(JsonValue& v)
    {
        space();
        if (i_ >= s_.size()) {
            return false;
        }
        const char c = s_[i_];
        if (c == '{') {
            v.type = JsonValue::Type::Object;
            ++i_;
            space();
            if (i_ < s_.size() && s_[i_] == '}') {
                ++i_;
                return true;
            }
            for (;;) {
                space();
                std::string key;
                if (!string(key)) {
                    return false;
                }
                space();
                if (!literal(":")) {
                    return false;
                }
                JsonValue member;
                if (!value(member)) {
                    return false;
                }
                v.members.emplace_back(key, std::move(member));
                space();
                if (literal(",")) {
                    continue;
                }
                return literal("}");
            }
        }
        if (c == '[') {
            v.type = JsonValue::Type::Array;
            ++i_;
            space();
            if (literal("]")) {
                return true;
            }
            for (;;) {
                JsonValue item;
                if (!value(item)) {
                    return false;
                }
                v.items.push_back(std::move(item));
                space();
                if (literal(",")) {
                    continue;
                }
                return literal("]");
            }
        }
        if (c == '"') {
            v.type = JsonValue::Type::String;
            return string(v.text);
        }
        if (literal("null")) {
            v.type = JsonValue::Type::Null;
            return true;
        }
        const std::size_t start = i_;
        while (i_ < s_.size() && std::string_view("+-0123456789.eE").find(s_[i_]) != std::string_view::npos) {
            ++i_;
        }
        if (i_ == start) {
            return false;
        }
        v.type = JsonValue::Type::Number;
        v.text = std::string(s_.substr(start, i_ - start));
        std::size_t used = 0;
        v.number = std::stod(v.text, &used);
        return used == v.text.size();
    }

    std::string_view s_;
    std::size_t i_ = 0;
};
