#pragma once

#include <string>
#include <string_view>

// Every text of a document is a byte string: the file's own bytes, never
// converted. Conversion happens only where text meets the screen or JSON
// (see CodePage).
using Bytes = std::string;
using BytesView = std::string_view;
