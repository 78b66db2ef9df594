#include "TlkGridModel.h"

#include "TextCodec.h"

QString TlkGridModel::caption(int col)
{
    static const char* const captions[] = {"StrRef", "String Text", "Sound File Reference", "Sound Duration, sec"};
    return col >= 0 && col < 4 ? QString::fromUtf8(captions[col]) : QString();
}

QString TlkGridModel::cellText(int col, int row) const
{
    if (row == 0) return caption(col);
    const auto i = std::uint32_t(row - 1);
    if (row < 1 || i >= doc_.count()) return {};
    switch (col) {
    case ColStrRef: return QString::number(i);
    case ColText: return toQString(doc_.text(i), codePage_);
    case ColSound: return toQString(doc_.sound(i), codePage_);
    case ColDuration: return toQString(doc_.durationText(i, sep_), codePage_);
    default: return {};
    }
}
