#pragma once

#include "Bytes.h"

#include <nlohmann/json.hpp>

#include <cstddef>
#include <string>

// Base of the strict readers of the program's JSON files: events arrive one
// by one (no tree of a million values is built), and a reader accepts only
// the shapes it knows. Scalars a reader does not take fail with a message
// naming what was found; a reader overrides the events it takes.
class JsonReader : public nlohmann::json_sax<nlohmann::json> {
public:
    bool null() override { return unexpected("null"); }
    bool boolean(bool value) override { return unexpected(value ? "true" : "false"); }
    bool number_integer(number_integer_t) override { return unexpected("a negative number"); }
    bool number_unsigned(number_unsigned_t) override { return unexpected("a number"); }
    bool number_float(number_float_t, const string_t&) override { return unexpected("a fractional number"); }
    bool string(string_t&) override { return unexpected("a string"); }
    bool binary(binary_t&) override { return unexpected("binary data"); }
    bool parse_error(std::size_t position, const std::string& lastToken,
                     const nlohmann::detail::exception& ex) override;

    // Parses the file, throwing CliError "<path>: <message>" when it is not
    // valid JSON (the message names the line and column) or the reader
    // refused it (the reader's message names the entry).
    void parseFile(const std::string& path);

protected:
    // A value of the kind named ("null", "a string", ...) where the reader takes none.
    virtual bool unexpected(const std::string& kind) = 0;
    // Records the reader's message and stops the parser; returns false.
    bool fail(std::string message);

private:
    std::string error_;
};

class CodePage;

// A JSON string's text (UTF-8) as the code page's bytes. On a character the
// code page lacks, returns false and sets problem to "holds the character
// U+XXXX, which <page> cannot hold".
bool encodeJsonText(const std::string& utf8, const CodePage& page, Bytes& out, std::string& problem);

// Text from a file put into a message on one line: control bytes are shown escaped.
std::string printable(const std::string& text);
