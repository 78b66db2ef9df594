#include "JsonReader.h"

#include "CliError.h"
#include "CodePage.h"
#include "InputFile.h"

#include <algorithm>
#include <cstdio>

bool JsonReader::parse_error(std::size_t, const std::string&, const nlohmann::detail::exception& ex)
{
    // The library's text reads "[json.exception.parse_error.101] parse error at line 1, column 2: ...".
    std::string text = ex.what();
    if (auto close = text.find("] "); !text.empty() && text[0] == '[' && close != std::string::npos)
        text.erase(0, close + 2);
    error_ = text;
    return false;
}

bool JsonReader::fail(std::string message)
{
    error_ = std::move(message);
    return false;
}

void JsonReader::parseFile(const std::string& path)
{
    std::string text;
    {
        InputFile in(path);
        text.resize(in.size());
        in.readAt(0, text.data(), text.size());
    }
    error_.clear();
    const char* first = text.data();
    if (!nlohmann::json::sax_parse(first, first + text.size(), this))
        throw CliError(path + ": " + (error_.empty() ? "not a JSON text" : error_));
}

std::string printable(const std::string& text)
{
    std::string out;
    for (unsigned char c : text) {
        if (c < 0x20 || c == 0x7F) {
            static const char hex[] = "0123456789abcdef";
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 0xF];
        } else {
            out += char(c);
        }
    }
    return out;
}

bool encodeJsonText(const std::string& utf8, const CodePage& page, Bytes& out, std::string& problem)
{
    // Most texts are plain ASCII, the same bytes in JSON and in the file.
    if (std::all_of(utf8.begin(), utf8.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        out.assign(utf8);
        return true;
    }
    char32_t missing = 0;
    auto bytes = page.encodeUtf8(utf8, &missing);
    if (!bytes) {
        char code[16];
        std::snprintf(code, sizeof code, "U+%04X", unsigned(missing));
        problem = std::string("holds the character ") + code + ", which " + page.name() + " cannot hold";
        return false;
    }
    out = std::move(*bytes);
    return true;
}
