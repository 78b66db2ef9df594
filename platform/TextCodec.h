#pragma once

#include "Bytes.h"
#include "CodePage.h"

#include <QString>

#include <optional>

// Where byte-string texts meet the screen: decoding never fails (every byte
// has its character), encoding refuses a character the code page lacks.
QString toQString(BytesView bytes, const CodePage& codePage);
// Nothing when the text holds a character the code page cannot hold; then
// *missing (if given) is that character (the first UTF-16 unit of it).
std::optional<Bytes> fromQString(const QString& text, const CodePage& codePage, QChar* missing = nullptr);
