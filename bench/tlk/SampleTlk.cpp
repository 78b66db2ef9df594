#include "SampleTlk.h"

#include "FileError.h"
#include "TlkFormat.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string_view>
#include <unistd.h>
#include <vector>

using namespace tlk;

namespace {

// A region of the file filled front to back through a buffer.
class RegionWriter {
public:
    RegionWriter(int fd, std::uint64_t at) : fd_(fd), at_(at) { buffer_.reserve(1 << 22); }
    void put(const char* p, std::size_t n)
    {
        buffer_.insert(buffer_.end(), p, p + n);
        if (buffer_.size() >= (1 << 22)) flush();
    }
    void flush()
    {
        std::size_t done = 0;
        while (done < buffer_.size()) {
            ssize_t put = ::pwrite(fd_, buffer_.data() + done, buffer_.size() - done, off_t(at_ + done));
            if (put < 0 && errno == EINTR) continue;
            if (put <= 0) throw FileError(std::string("Cannot write the sample file: ") + std::strerror(errno));
            done += std::size_t(put);
        }
        at_ += buffer_.size();
        buffer_.clear();
    }

private:
    int fd_;
    std::uint64_t at_;
    std::vector<char> buffer_;
};

struct Random {
    std::uint64_t state;
    std::uint32_t next()
    {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return std::uint32_t(state >> 11);
    }
    std::uint32_t below(std::uint32_t n) { return next() % n; }
};

// Words in the code page's bytes; a third of them Cyrillic.
const std::vector<std::string>& words()
{
    static const std::vector<std::string> list = {
        "the", "guard", "says", "you", "shall", "not", "pass", "Quellmoor", "gate", "of", "night", "sword",
        "silver", "river", "HELLO", "merchant", "gold", "coins", "road", "north", "tower", "mage", "quest",
        "\xEF\xF0\xE8\xE2\xE5\xF2",           // a Cyrillic word: privet
        "\xEC\xE5\xF7",                       // mech
        "\xE3\xEE\xF0\xEE\xE4",               // gorod
        "\xD1\xF2\xF0\xE0\xE6",               // Strazh
        "\xE4\xEE\xF0\xEE\xE3\xE0",           // doroga
        "\xE7\xEE\xEB\xEE\xF2\xEE",           // zoloto
        "\xE1\xE0\xF8\xED\xFF",               // bashnya
        "\xEC\xE0\xE3",                       // mag
        "\xED\xEE\xF7\xFC",                   // noch
        "\xF0\xE5\xEA\xE0",                   // reka
        "\xEA\xF3\xEF\xE5\xF6",               // kupets
    };
    return list;
}

void makeText(Random& random, std::string& out)
{
    out.clear();
    const std::size_t target = 40 + random.below(41); // 40..80, about 60
    const auto& list = words();
    while (out.size() < target) {
        if (!out.empty()) out += random.below(12) == 0 ? ".\n" : " ";
        out += list[random.below(std::uint32_t(list.size()))];
    }
}

} // namespace

std::uint64_t writeSampleTlk(const std::string& path, std::uint32_t count)
{
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) throw FileError("Cannot create file " + path);
    const std::uint64_t dataOffset = kHeaderSize + std::uint64_t(kEntrySize) * count;
    RegionWriter table(fd, 0), strings(fd, dataOffset);

    char header[kHeaderSize];
    std::memcpy(header, "TLK V3.0", 8);
    writeU32(header + 8, 0);
    writeU32(header + 12, count);
    writeU32(header + 16, std::uint32_t(dataOffset));
    table.put(header, kHeaderSize);

    Random random{0x9E3779B97F4A7C15ull ^ count};
    std::string text;
    std::uint32_t offset = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        char e[kEntrySize] = {};
        std::uint32_t flags = 0;
        if (random.below(10) != 0) {
            makeText(random, text);
            flags |= TextPresent;
        } else {
            text.clear();
        }
        if (random.below(4) == 0) {
            flags |= SoundPresent;
            // "vo_" and 5 to 13 more characters: some fill all 16 bytes.
            std::string sound = "vo_" + std::to_string(i);
            while (sound.size() < 8 + random.below(9)) sound += char('a' + random.below(26));
            std::memcpy(e + kSoundRefAt, sound.data(), std::min<std::size_t>(sound.size(), kSoundRefSize));
            if (random.below(5) != 0) {
                flags |= SoundLengthPresent;
                writeU32(e + kSoundLengthAt, floatToBits(float(random.below(2000)) / 100.0f));
            }
        }
        writeU32(e + kFlagsAt, flags);
        writeU32(e + kStringOffsetAt, offset);
        writeU32(e + kStringSizeAt, std::uint32_t(text.size()));
        offset += std::uint32_t(text.size());
        table.put(e, kEntrySize);
        strings.put(text.data(), text.size());
    }
    table.flush();
    strings.flush();
    ::close(fd);
    return dataOffset + offset;
}
