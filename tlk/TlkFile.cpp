#include "TlkFile.h"

#include "InputFile.h"

#include <algorithm>
#include <new>
#include <sys/mman.h>

using namespace tlk;

BytesView TlkFile::text(std::uint32_t i) const
{
    const char* e = entry(i);
    if (!(readU32(e + kFlagsAt) & TextPresent)) return {};
    return BytesView(strings_.get() + readU32(e + kStringOffsetAt), readU32(e + kStringSizeAt));
}

BytesView TlkFile::sound(std::uint32_t i) const
{
    const char* e = entry(i);
    if (!(readU32(e + kFlagsAt) & SoundPresent)) return {};
    const char* s = e + kSoundRefAt;
    std::size_t n = 0;
    while (n < kSoundRefSize && s[n] != '\0') ++n;
    return BytesView(s, n);
}

void TlkFile::BufferDeleter::operator()(char* p) const
{
    if (mappedSize) ::munmap(p, mappedSize);
    else delete[] p;
}

// Builds a TlkFile from any source of bytes with exact reads, checking each
// limit before the field is used.
class TlkFileLoader {
public:
    // Buffers this large are mapped, and their pages made before they are
    // read into: a read into fresh memory otherwise takes one page fault per
    // 4 KB, which for 1.6 GB costs more than the copy itself.
    static constexpr std::uint64_t kMapped = std::uint64_t(64) << 20;

    static TlkFile::Buffer allocate(std::uint64_t n)
    {
        if (n >= kMapped) {
            void* p = ::mmap(nullptr, n, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
            if (p == MAP_FAILED) throw std::bad_alloc();
            return TlkFile::Buffer(static_cast<char*>(p), TlkFile::BufferDeleter{n});
        }
        return TlkFile::Buffer(new char[n]);
    }

    // Makes the pages of [at, at + n) of a buffer of bufferSize bytes; at is
    // a multiple of the page size. Where the system cannot, the read makes
    // them as it goes.
    static void makePages(char* buffer, std::uint64_t bufferSize, std::uint64_t at, std::uint64_t n)
    {
        if (bufferSize >= kMapped) ::madvise(buffer + at, n, MADV_POPULATE_WRITE);
    }

    template <typename ReadAt>
    static std::shared_ptr<const TlkFile> load(std::uint64_t size, ReadAt readAt, const std::string& name,
                                               const TlkReadPoints& points, const std::function<void()>& close)
    {
        auto file = std::make_shared<TlkFile>();
        if (size < kHeaderSize)
            throw TlkFormatError("\"" + name + "\" is not a talk table: it is shorter than the 20-byte header.");
        char raw[kHeaderSize];
        readAt(0, raw, kHeaderSize);
        TlkHeader h{};
        std::memcpy(h.FileType, raw, 4);
        std::memcpy(h.FileVersion, raw + 4, 4);
        h.LanguageId = readU32(raw + 8);
        h.StringCount = readU32(raw + 12);
        h.StringDataOffset = readU32(raw + 16);

        const std::uint64_t tableEnd = kHeaderSize + std::uint64_t(kEntrySize) * h.StringCount;
        if (tableEnd > size)
            throw TlkFormatError("\"" + name + "\" is damaged: its entry table (" + std::to_string(h.StringCount) +
                                 " entries) does not fit in the file.");
        if (h.StringCount > kMaxEntries)
            throw TlkFormatError("\"" + name + "\" holds " + std::to_string(h.StringCount) +
                                 " entries; a talk table holds at most 16777216.");
        if (h.StringDataOffset > size)
            throw TlkFormatError("\"" + name + "\" is damaged: its string data begins beyond the end of the file.");

        file->count_ = h.StringCount;
        file->stringSize_ = size - h.StringDataOffset;
        try {
            file->entries_ = allocate(tableEnd - kHeaderSize + 1);
            file->strings_ = allocate(file->stringSize_ + 1);
        } catch (const std::bad_alloc&) {
            throw TlkFormatError("There is not enough memory to read \"" + name + "\".");
        }
        // The buffers are one byte longer than the data (never empty).
        auto readAll = [&](std::uint64_t at, char* to, std::uint64_t n) {
            if (!points.duringRead) {
                makePages(to, n + 1, 0, n + 1);
                return readAt(at, to, n);
            }
            constexpr std::uint64_t kPiece = 16u << 20;
            for (std::uint64_t done = 0; done < n; done += kPiece) {
                if (done > 0) points.duringRead();
                const std::uint64_t piece = std::min(kPiece, n - done);
                makePages(to, n + 1, done, piece);
                readAt(at + done, to + done, piece);
            }
        };
        readAll(kHeaderSize, file->entries_.get(), tableEnd - kHeaderSize);
        if (points.afterEntryTable) points.afterEntryTable();
        readAll(h.StringDataOffset, file->strings_.get(), file->stringSize_);
        close();
        if (points.afterClose) points.afterClose();
        if (points.beforeEntries) points.beforeEntries(file->count_);

        for (std::uint32_t i = 0; i < file->count_; ++i) {
            const char* e = file->entry(i);
            if (readU32(e + kFlagsAt) & TextPresent) {
                std::uint64_t end = std::uint64_t(readU32(e + kStringOffsetAt)) + readU32(e + kStringSizeAt);
                if (end > file->stringSize_)
                    throw TlkFormatError("\"" + name + "\" is damaged: the text of entry " + std::to_string(i) +
                                         " lies outside the string data.");
            }
            if (points.afterEntry) points.afterEntry(i);
        }
        return file;
    }
};

std::shared_ptr<const TlkFile> ReadTlk(const std::string& path, const TlkReadPoints& points)
{
    InputFile in(path);
    return TlkFileLoader::load(
        in.size(), [&](std::uint64_t at, char* to, std::uint64_t n) { in.readAt(at, to, n); }, path, points,
        [&] { in.close(); });
}

std::shared_ptr<const TlkFile> parseTlk(BytesView bytes, const std::string& name)
{
    return TlkFileLoader::load(
        bytes.size(), [&](std::uint64_t at, char* to, std::uint64_t n) { std::memcpy(to, bytes.data() + at, n); },
        name, {}, [] {});
}
