#include "TlkEntryChecker.h"

#include "CodePage.h"
#include "JsonReader.h"
#include "NumberText.h"
#include "TlkFormat.h"

namespace {

constexpr char kSeparator = '.';

} // namespace

bool TlkEntryChecker::fail(const TlkJsonEntry& entry, const std::string& message)
{
    error_ = entryPlace(entry.index) + message;
    return false;
}

bool TlkEntryChecker::encode(const TlkJsonEntry& entry, TlkJsonEntry::Key k, Bytes& out)
{
    std::string problem;
    if (encodeJsonText(entry.cells[k], page_, out, problem)) return true;
    return fail(entry, std::string("\"") + TlkJsonEntry::kKeyNames[k] + "\" " + problem);
}

bool TlkEntryChecker::add(const TlkJsonEntry& entry)
{
    std::uint64_t strref = next_;
    if (entry.has(TlkJsonEntry::StrRef)) {
        strref = entry.strref;
        if (strref < next_)
            return fail(entry, "\"strref\" " + std::to_string(strref) + " is below the next StrRef " +
                                   std::to_string(next_) + "; StrRefs must rise from entry to entry");
        if (strref > tlk::kMaxStrRef)
            return fail(entry, "\"strref\" " + std::to_string(strref) + " is above 16777215, the largest StrRef");
    } else if (strref > tlk::kMaxStrRef) {
        return fail(entry, "a talk table holds at most 16777216 entries");
    }
    TlkRecord record;
    if (!encode(entry, TlkJsonEntry::Text, record.text) || !encode(entry, TlkJsonEntry::Sound, record.sound) ||
        !encode(entry, TlkJsonEntry::Duration, record.duration))
        return false;
    if (record.sound.size() > tlk::kSoundRefSize)
        return fail(entry, "\"sound\" is " + std::to_string(record.sound.size()) +
                               " bytes long; a sound reference holds at most 16");
    if (record.sound.find('\0') != Bytes::npos)
        return fail(entry, "\"sound\" holds a zero character, which would end the sound reference");
    if (!record.duration.empty() && !durationTextToFloat(record.duration, kSeparator))
        return fail(entry, "\"duration\": '" + printable(entry.cells[TlkJsonEntry::Duration]) +
                               "' is not a valid floating point value");

    if (strref > next_) builder_.appendBlank(std::uint32_t(strref - next_));
    builder_.append(std::move(record));
    next_ = strref + 1;
    return true;
}
