#include "TextCodec.h"

QString toQString(BytesView bytes, const CodePage& codePage)
{
    const std::u16string text = codePage.decodeToUtf16(bytes);
    return QString::fromUtf16(text.data(), qsizetype(text.size()));
}

std::optional<Bytes> fromQString(const QString& text, const CodePage& codePage, QChar* missing)
{
    char32_t lacking = 0;
    std::optional<Bytes> bytes = codePage.encodeUtf16(
        std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), size_t(text.size())), &lacking);
    if (!bytes && missing)
        *missing = lacking > 0xFFFF ? QChar::highSurrogate(lacking) : QChar(char16_t(lacking));
    return bytes;
}
