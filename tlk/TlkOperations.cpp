#include "TlkOperations.h"

#include "NumberText.h"

#include <stdexcept>
#include <utility>

using tlk::kMaxEntries;
using tlk::kMaxStrRef;

namespace {

const char* const kIntegerFailure = "Ошибка преобразования строки в целое число.\nSysem message:\n";
const char* const kMissingStrRef = "Скорее всего строки с таким StrRef'ом тут нету.  Гы-гы 8-).\nSysem message:\n";
const char* const kFloatFailure = "Ошибка преобразования строки в дробное число.\nSysem message:\n";

std::string noStrRefLeft()
{
    return "No StrRef is left after the last entry: the table already holds 16777216 entries, StrRefs 0 to "
           "16777215.";
}

// A new entry goes right after the last one or later, never over an existing one.
void requireNewStrRef(std::int64_t strRef, std::uint32_t count)
{
    if (count >= kMaxEntries) throw std::length_error(noStrRefLeft());
    if (strRef < count || strRef > kMaxStrRef)
        throw std::out_of_range("StrRef " + std::to_string(strRef) + " cannot be added: a new entry takes a StrRef from " +
                                std::to_string(count) + " (after the last entry) to 16777215.");
}

// The entry behind a row, or nothing for a row that holds no entry.
std::optional<std::uint32_t> entryOfRow(const TlkDocument& doc, int row)
{
    if (doc.count() == 0 || row == 0) return std::nullopt;
    if (row < 0 || std::uint32_t(row) > doc.count())
        throw std::out_of_range("There is no row " + std::to_string(row) + ": the table has rows 0 to " +
                                std::to_string(doc.count()) + ".");
    return std::uint32_t(row - 1);
}

} // namespace

int addRecord(TlkDocument& doc, std::int64_t strRef, TlkRecord record)
{
    const std::uint32_t count = doc.count();
    requireNewStrRef(strRef, count);
    doc.appendBlank(std::uint32_t(strRef - count + 1));
    doc.setRecord(std::uint32_t(strRef), std::move(record));
    return int(strRef + 1);
}

bool editRecord(TlkDocument& doc, int row, TlkRecord record)
{
    auto entry = entryOfRow(doc, row);
    if (!entry) return false;
    doc.setRecord(*entry, std::move(record));
    return true;
}

bool clearRecord(TlkDocument& doc, int row) { return editRecord(doc, row, TlkRecord{}); }

std::optional<std::string> checkDuration(std::string_view text, char decimalSeparator)
{
    if (text.empty() || durationTextToFloat(text, decimalSeparator)) return std::nullopt;
    return kFloatFailure + ("'" + std::string(text) + "' is not a valid floating point value");
}

Bytes normaliseText(BytesView text)
{
    Bytes out;
    out.reserve(text.size());
    for (char c : text)
        if (c != '\r') out += c;
    return out;
}

std::vector<Bytes> splitLines(BytesView text)
{
    std::vector<Bytes> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\n' && text[i] != '\r') continue;
        lines.emplace_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    lines.emplace_back(text.substr(start));
    return lines;
}

TlkGotoResult gotoStrRef(std::string_view text, std::uint32_t entryCount)
{
    TlkGotoResult result;
    std::optional<std::int32_t> value = parseInteger(text);
    if (!value) {
        result.kind = TlkGotoResult::ConversionFailure;
        result.message = kIntegerFailure + ("'" + std::string(text) + "' is not a valid integer value");
    } else if (*value < 0 || std::uint32_t(*value) >= entryCount) {
        result.kind = TlkGotoResult::MissingStrRef;
        result.message = std::string(kMissingStrRef) + "Grid index out of range";
    } else {
        result.row = *value + 1;
    }
    return result;
}

TlkSearch::TlkSearch(const TlkDocument& doc, TlkSearchColumn column, int currentRow, BytesView searchText,
                     const CodePage& codePage)
    : snapshot_(doc)
    , column_(column)
    , next_(currentRow < 0 ? 0u : std::uint32_t(currentRow))
    , needle_(codePage.toLower(searchText))
    , codePage_(&codePage)
{
    if (needle_.empty() || next_ >= snapshot_.count()) state_ = State::NotFound;
}

bool TlkSearch::matches(std::uint32_t entry) const
{
    BytesView hay = column_ == TlkSearchColumn::Sound ? snapshot_.sound(entry) : snapshot_.text(entry);
    const std::size_t m = needle_.size();
    if (hay.size() < m) return false;
    const auto* h = reinterpret_cast<const unsigned char*>(hay.data());
    const auto* nd = reinterpret_cast<const unsigned char*>(needle_.data());
    const unsigned char first = nd[0];
    for (std::size_t i = 0, last = hay.size() - m; i <= last; ++i) {
        if (codePage_->toLower(h[i]) != first) continue;
        std::size_t k = 1;
        while (k < m && codePage_->toLower(h[i + k]) == nd[k]) ++k;
        if (k == m) return true;
    }
    return false;
}

TlkSearch::State TlkSearch::step(std::uint32_t maxRows)
{
    const std::uint32_t count = snapshot_.count();
    for (; maxRows > 0 && state_ == State::Running; --maxRows) {
        std::uint32_t entry = next_++;
        if (matches(entry)) {
            state_ = State::Found;
            foundRow_ = int(entry) + 1;
        } else if (next_ >= count) {
            state_ = State::NotFound;
        }
    }
    return state_;
}

TlkSearch::State TlkSearch::run(const std::function<bool()>& afterMiss)
{
    while (state_ == State::Running) {
        step(1);
        if (state_ != State::Found && afterMiss && !afterMiss()) break;
    }
    return state_;
}

void appendTlk(TlkDocument& doc, std::shared_ptr<const TlkFile> file, std::int64_t start,
               const TlkAppendProgress& progress)
{
    if (!file) throw std::invalid_argument("No talk table file to append.");
    const std::uint32_t count = doc.count();
    if (count >= kMaxEntries) throw std::length_error(noStrRefLeft());
    if (start < count || start > kMaxStrRef)
        throw std::out_of_range("The file cannot be appended at StrRef " + std::to_string(start) +
                                ": the start StrRef must be from " + std::to_string(count) +
                                " (after the last entry) to 16777215.");
    if (start + file->count() > kMaxEntries)
        throw std::length_error("The file's " + std::to_string(file->count()) + " entries do not fit from StrRef " +
                                std::to_string(start) + ": the last would be StrRef " +
                                std::to_string(start + file->count() - 1) + ", beyond the largest StrRef, 16777215.");

    // Blank rows appear one at a time, so a window that repaints between them
    // shows the table growing; a command that changed the table meanwhile
    // would put the file's entries at the wrong StrRefs, so that stops here.
    const std::uint32_t blanks = std::uint32_t(start - count);
    if (progress.begin) progress.begin(TlkAppendProgress::BlankRows, blanks);
    if (!progress.row) {
        doc.appendBlank(blanks);
    } else {
        for (std::uint32_t k = 1; k <= blanks; ++k) {
            if (doc.count() != count + k - 1)
                throw std::logic_error("The talk table changed while blank rows were being appended.");
            doc.appendBlank(1);
            progress.row(TlkAppendProgress::BlankRows, k);
        }
        if (doc.count() != start)
            throw std::logic_error("The talk table changed while blank rows were being appended.");
    }

    const std::uint32_t entries = file->count();
    if (progress.begin) progress.begin(TlkAppendProgress::Entries, entries);
    doc.appendFile(std::move(file));
    if (progress.row)
        for (std::uint32_t k = 1; k <= entries; ++k) progress.row(TlkAppendProgress::Entries, k);
}
