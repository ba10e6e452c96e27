#pragma once

#include <string>
#include <string_view>

// Builds one JSON object on one line. Doubles are written in the shortest
// form that reads back to the same value; JSON has no infinities or NaN, so
// those become the strings "inf", "-inf" and "nan".
class JsonWriter {
public:
    JsonWriter& BeginObject();
    JsonWriter& EndObject();
    JsonWriter& BeginArray(std::string_view key = {});
    JsonWriter& EndArray();
    JsonWriter& Key(std::string_view key);
    JsonWriter& Int(long long value);
    JsonWriter& Double(double value);
    JsonWriter& String(std::string_view value);
    JsonWriter& Null();
    JsonWriter& Bool(bool value);

    const std::string& Text() const { return m_text; }
    void Clear() { m_text.clear(); m_needComma = false; }

private:
    void Separate();

    std::string m_text;
    bool m_needComma = false;
};

std::string FormatShortestDouble(double value);
