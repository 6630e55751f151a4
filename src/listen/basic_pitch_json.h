#pragma once
// A small JSON reader for the basic-pitch model description (model.json). The listener library
// has no Qt, and the file needs no more than this: objects, arrays, strings, numbers, true,
// false and null, read whole into a tree.

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace Listen {

class JsonValue
{
public:
    enum class Kind { Null, Bool, Number, String, Array, Object };

    // Reads a whole document; a null pointer with the place and reason in *error when it is no JSON.
    static std::unique_ptr<JsonValue> parse(const std::string& text, std::string* error);

    Kind kind() const { return type; }
    bool isNull() const { return type == Kind::Null; }
    bool isNumber() const { return type == Kind::Number; }
    bool isString() const { return type == Kind::String; }
    bool isArray() const { return type == Kind::Array; }
    bool isObject() const { return type == Kind::Object; }

    double number() const { return numberValue; }
    const std::string& string() const { return stringValue; }
    const std::vector<JsonValue>& array() const { return items; }
    // The member called name, or a shared null value when there is none (or this is no object),
    // so that lookups chain: value["a"]["b"].isNull().
    const JsonValue& operator[](const std::string& name) const;

private:
    friend class JsonParser;
    Kind type = Kind::Null;
    bool boolValue = false;
    double numberValue = 0;
    std::string stringValue;
    std::vector<JsonValue> items;
    std::map<std::string, JsonValue> members;
};

} // namespace Listen
