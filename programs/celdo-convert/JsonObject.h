#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace celdo::convert {

// One JSON object built field by field, for --info.
class JsonObject {
public:
    void add(const char* key, long long value) { field(key) += std::to_string(value); }
    void addFlag(const char* key, bool value) { field(key) += value ? "true" : "false"; }
    void add(const char* key, const std::string& value) {
        std::string& out = field(key);
        out += '"';
        for (const unsigned char c : value) {
            if (c == '"' || c == '\\') {
                out += '\\';
                out += static_cast<char>(c);
            } else if (c < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                out += escaped;
            } else {
                out += static_cast<char>(c);
            }
        }
        out += '"';
    }
    void add(const char* key, const std::vector<JsonObject>& list) {
        std::string& out = field(key);
        out += '[';
        for (std::size_t i = 0; i < list.size(); ++i) {
            if (i > 0)
                out += ',';
            out += list[i].text();
        }
        out += ']';
    }
    std::string text() const { return m_text.empty() ? "{}" : m_text + "}"; }

private:
    std::string& field(const char* key) {
        m_text += m_text.empty() ? "{" : ",";
        m_text += '"';
        m_text += key;
        m_text += "\":";
        return m_text;
    }
    std::string m_text;
};

} // namespace celdo::convert
