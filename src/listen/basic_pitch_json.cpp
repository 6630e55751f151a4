#include "listen/basic_pitch_json.h"

#include <cstdlib>
#include <cstring>

namespace Listen {

// Recursive descent over the text; the depth limit keeps a hostile file from exhausting the stack.
class JsonParser
{
public:
    explicit JsonParser(const std::string& source) : text(source) {}

    bool document(JsonValue* out)
    {
        if (!value(out, 0))
            return false;
        skipSpace();
        return pos == text.size() || fail("text after the end of the document");
    }

    std::string error;

private:
    static constexpr int maxDepth = 256;

    bool fail(const char* why)
    {
        if (error.empty())
            error = std::string(why) + " at offset " + std::to_string(pos);
        return false;
    }

    void skipSpace()
    {
        while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t' || text[pos] == '\r' || text[pos] == '\n'))
            ++pos;
    }

    bool literal(const char* word)
    {
        const std::size_t length = std::strlen(word);
        if (text.compare(pos, length, word) != 0)
            return fail("unknown word");
        pos += length;
        return true;
    }

    bool value(JsonValue* out, int depth)
    {
        if (depth > maxDepth)
            return fail("nesting too deep");
        skipSpace();
        if (pos >= text.size())
            return fail("unexpected end");
        const char c = text[pos];
        if (c == '{')
            return object(out, depth);
        if (c == '[')
            return array(out, depth);
        if (c == '"') {
            out->type = JsonValue::Kind::String;
            return string(&out->stringValue);
        }
        if (c == 't' || c == 'f') {
            out->type = JsonValue::Kind::Bool;
            out->boolValue = c == 't';
            return literal(c == 't' ? "true" : "false");
        }
        if (c == 'n') {
            out->type = JsonValue::Kind::Null;
            return literal("null");
        }
        return number(out);
    }

    bool number(JsonValue* out)
    {
        const char* start = text.c_str() + pos;
        if (*start != '-' && (*start < '0' || *start > '9'))
            return fail("unexpected character");
        char* end = nullptr;
        out->type = JsonValue::Kind::Number;
        out->numberValue = std::strtod(start, &end);
        pos += std::size_t(end - start);
        return true;
    }

    bool string(std::string* out)
    {
        ++pos; // the opening quote
        while (pos < text.size()) {
            const char c = text[pos++];
            if (c == '"')
                return true;
            if (c != '\\') {
                out->push_back(c);
                continue;
            }
            if (pos >= text.size())
                break;
            const char escaped = text[pos++];
            switch (escaped) {
            case 'n': out->push_back('\n'); break;
            case 't': out->push_back('\t'); break;
            case 'r': out->push_back('\r'); break;
            case 'b': out->push_back('\b'); break;
            case 'f': out->push_back('\f'); break;
            case 'u': {
                if (pos + 4 > text.size())
                    return fail("short \\u escape");
                const unsigned long code = std::strtoul(text.substr(pos, 4).c_str(), nullptr, 16);
                pos += 4;
                // Names and dtypes are ASCII; anything else is kept as UTF-8 for the BMP.
                if (code < 0x80) {
                    out->push_back(char(code));
                } else if (code < 0x800) {
                    out->push_back(char(0xC0 | (code >> 6)));
                    out->push_back(char(0x80 | (code & 0x3F)));
                } else {
                    out->push_back(char(0xE0 | (code >> 12)));
                    out->push_back(char(0x80 | ((code >> 6) & 0x3F)));
                    out->push_back(char(0x80 | (code & 0x3F)));
                }
                break;
            }
            default: out->push_back(escaped); break; // \" \\ \/
            }
        }
        return fail("unterminated string");
    }

    bool array(JsonValue* out, int depth)
    {
        out->type = JsonValue::Kind::Array;
        ++pos;
        skipSpace();
        if (pos < text.size() && text[pos] == ']') {
            ++pos;
            return true;
        }
        for (;;) {
            out->items.emplace_back();
            if (!value(&out->items.back(), depth + 1))
                return false;
            skipSpace();
            if (pos < text.size() && text[pos] == ',') {
                ++pos;
                continue;
            }
            if (pos < text.size() && text[pos] == ']') {
                ++pos;
                return true;
            }
            return fail("expected , or ]");
        }
    }

    bool object(JsonValue* out, int depth)
    {
        out->type = JsonValue::Kind::Object;
        ++pos;
        skipSpace();
        if (pos < text.size() && text[pos] == '}') {
            ++pos;
            return true;
        }
        for (;;) {
            skipSpace();
            if (pos >= text.size() || text[pos] != '"')
                return fail("expected a member name");
            std::string name;
            if (!string(&name))
                return false;
            skipSpace();
            if (pos >= text.size() || text[pos] != ':')
                return fail("expected :");
            ++pos;
            if (!value(&out->members[name], depth + 1))
                return false;
            skipSpace();
            if (pos < text.size() && text[pos] == ',') {
                ++pos;
                continue;
            }
            if (pos < text.size() && text[pos] == '}') {
                ++pos;
                return true;
            }
            return fail("expected , or }");
        }
    }

    const std::string& text;
    std::size_t pos = 0;
};

std::unique_ptr<JsonValue> JsonValue::parse(const std::string& text, std::string* error)
{
    auto root = std::make_unique<JsonValue>();
    JsonParser parser(text);
    if (!parser.document(root.get())) {
        if (error)
            *error = parser.error;
        return nullptr;
    }
    return root;
}

const JsonValue& JsonValue::operator[](const std::string& name) const
{
    static const JsonValue none;
    const auto it = members.find(name);
    return it == members.end() ? none : it->second;
}

} // namespace Listen
