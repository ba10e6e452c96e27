#include "tools/cli/json_writer.h"

#include <charconv>
#include <cmath>

std::string FormatShortestDouble(double value)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

void JsonWriter::Separate()
{
    if (m_needComma)
        m_text += ',';
    m_needComma = true;
}

JsonWriter& JsonWriter::BeginObject()
{
    Separate();
    m_text += '{';
    m_needComma = false;
    return *this;
}

JsonWriter& JsonWriter::EndObject()
{
    m_text += '}';
    m_needComma = true;
    return *this;
}

JsonWriter& JsonWriter::BeginArray(std::string_view key)
{
    if (!key.empty())
        Key(key);
    else
        Separate();
    m_text += '[';
    m_needComma = false;
    return *this;
}

JsonWriter& JsonWriter::EndArray()
{
    m_text += ']';
    m_needComma = true;
    return *this;
}

JsonWriter& JsonWriter::Key(std::string_view key)
{
    String(key);
    m_text += ':';
    m_needComma = false;
    // The value that follows must not be preceded by a comma; Separate()
    // of the value sees m_needComma false.
    return *this;
}

JsonWriter& JsonWriter::Int(long long value)
{
    Separate();
    m_text += std::to_string(value);
    return *this;
}

JsonWriter& JsonWriter::Double(double value)
{
    if (std::isnan(value))
        return String("nan");
    if (std::isinf(value))
        return String(value > 0 ? "inf" : "-inf");
    Separate();
    m_text += FormatShortestDouble(value);
    return *this;
}

JsonWriter& JsonWriter::String(std::string_view value)
{
    Separate();
    m_text += '"';
    for (unsigned char c : value) {
        switch (c) {
        case '"': m_text += "\\\""; break;
        case '\\': m_text += "\\\\"; break;
        case '\n': m_text += "\\n"; break;
        case '\r': m_text += "\\r"; break;
        case '\t': m_text += "\\t"; break;
        default:
            if (c < 0x20) {
                static const char hex[] = "0123456789abcdef";
                m_text += "\\u00";
                m_text += hex[c >> 4];
                m_text += hex[c & 15];
            } else {
                m_text += static_cast<char>(c);
            }
        }
    }
    m_text += '"';
    return *this;
}

JsonWriter& JsonWriter::Null()
{
    Separate();
    m_text += "null";
    return *this;
}

JsonWriter& JsonWriter::Bool(bool value)
{
    Separate();
    m_text += value ? "true" : "false";
    return *this;
}
