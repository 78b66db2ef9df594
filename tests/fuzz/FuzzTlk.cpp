// Talk table reader: any bytes either are refused with TlkFormatError or give
// a table whose every cell is what the entry-to-row rule takes from those
// bytes; such a table is written back to a packed file that reads to the same
// rows, and writing that again gives the same bytes.

#include "FuzzCheck.h"
#include "FuzzTempFile.h"
#include "NumberText.h"
#include "TlkDocument.h"
#include "TlkFile.h"
#include "TlkWriter.h"

#include <cstdint>
#include <cstring>

using namespace tlk;

namespace {

struct Raw {
    BytesView bytes;
    std::uint32_t u32(std::uint64_t at) const { return readU32(bytes.data() + at); }
};

// The entry-to-row rule read straight from the file's bytes, apart from the
// reader: the cells of entry i.
TlkRecord expectedRow(const Raw& raw, std::uint32_t i, char sep)
{
    const std::uint64_t e = kHeaderSize + std::uint64_t(kEntrySize) * i;
    const std::uint32_t flags = raw.u32(e + kFlagsAt);
    TlkRecord row;
    if (flags & TextPresent) {
        std::uint64_t at = std::uint64_t(raw.u32(16)) + raw.u32(e + kStringOffsetAt);
        row.text = Bytes(raw.bytes.substr(at, raw.u32(e + kStringSizeAt)));
    }
    if (flags & SoundPresent) {
        BytesView field = raw.bytes.substr(e + kSoundRefAt, kSoundRefSize);
        row.sound = Bytes(field.substr(0, field.find('\0')));
    }
    if (flags & SoundLengthPresent) row.duration = floatToDurationText(bitsToFloat(raw.u32(e + kSoundLengthAt)), sep);
    return row;
}

// Whether the bytes keep the limits of a readable file, decided from the
// format's rules alone.
bool readable(const Raw& raw)
{
    const std::uint64_t size = raw.bytes.size();
    if (size < kHeaderSize) return false;
    const std::uint32_t count = raw.u32(12), dataAt = raw.u32(16);
    if (count > kMaxEntries || kHeaderSize + std::uint64_t(kEntrySize) * count > size || dataAt > size) return false;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint64_t e = kHeaderSize + std::uint64_t(kEntrySize) * i;
        if ((raw.u32(e + kFlagsAt) & TextPresent) &&
            std::uint64_t(raw.u32(e + kStringOffsetAt)) + raw.u32(e + kStringSizeAt) > size - dataAt)
            return false;
    }
    return true;
}

void checkSameRows(const TlkDocument& a, const TlkDocument& b)
{
    FUZZ_CHECK(a.count() == b.count());
    for (std::uint32_t i = 0; i < a.count(); ++i) {
        FUZZ_CHECK(a.text(i) == b.text(i));
        FUZZ_CHECK(a.sound(i) == b.sound(i));
        TlkDocument::Duration da = a.duration(i), db = b.duration(i);
        FUZZ_CHECK(da.kind == db.kind);
        // A stored duration goes back bit for bit, NaN payloads included.
        FUZZ_CHECK(da.bits == db.bits);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static FuzzTempFile scratch("input.tlk");
    const Raw raw{BytesView(reinterpret_cast<const char*>(data), size)};

    // The reader on a file and the same rules over memory agree.
    scratch.write(raw.bytes);
    std::shared_ptr<const TlkFile> file;
    try {
        file = ReadTlk(scratch.path());
    } catch (const TlkFormatError&) {
    }
    std::shared_ptr<const TlkFile> inMemory;
    try {
        inMemory = parseTlk(raw.bytes);
    } catch (const TlkFormatError&) {
    }
    FUZZ_CHECK(bool(file) == bool(inMemory));
    FUZZ_CHECK(bool(file) == readable(raw));
    if (!file) return 0;

    TlkDocument doc;
    doc.assign(file);
    FUZZ_CHECK(doc.count() == raw.u32(12));
    for (std::uint32_t i = 0; i < doc.count(); ++i)
        for (char sep : {'.', ','})
            FUZZ_CHECK(doc.record(i, sep) == expectedRow(raw, i, sep));

    // Written back: the packed layout, read again to the same rows.
    const Bytes written = writeTlkBytes(doc, '.');
    std::uint64_t texts = 0;
    for (std::uint32_t i = 0; i < doc.count(); ++i) texts += doc.text(i).size();
    FUZZ_CHECK(written.size() == kHeaderSize + std::uint64_t(kEntrySize) * doc.count() + texts);
    FUZZ_CHECK(written.compare(0, 8, "TLK V3.0") == 0);
    std::shared_ptr<const TlkFile> again;
    try {
        again = parseTlk(written);
    } catch (const TlkFormatError&) {
        FUZZ_CHECK(!"the writer's own file is refused by the reader");
    }
    TlkDocument reread;
    reread.assign(again);
    checkSameRows(doc, reread);
    FUZZ_CHECK(writeTlkBytes(reread, ',') == written);

    // The file writer puts down the same bytes.
    WriteTlk(doc, scratch.path(), '.');
    FUZZ_CHECK(scratch.read() == written);
    return 0;
}
