#pragma once

#include <cstdint>
#include <cstring>

// Byte layout of a talk table: a 20-byte header, StringCount entries of 40
// bytes, then the string data up to the end of the file. All integers are
// unsigned 32-bit little-endian; SoundLength is a little-endian float.

struct TlkHeader {
    char FileType[4];
    char FileVersion[4];
    std::uint32_t LanguageId;
    std::uint32_t StringCount;
    std::uint32_t StringDataOffset;
};

struct TlkEntry {
    std::uint32_t Flags;
    char SoundRef[16];
    std::uint32_t VolumeVariance;
    std::uint32_t PitchVariance;
    std::uint32_t StringOffset;
    std::uint32_t StringSize;
    float SoundLength;
};

namespace tlk {

constexpr std::uint32_t kHeaderSize = 20;
constexpr std::uint32_t kEntrySize = 40;
constexpr std::uint32_t kSoundRefSize = 16;
// StrRefs run from 0 to 16777215.
constexpr std::uint32_t kMaxEntries = 16777216;
constexpr std::uint32_t kMaxStrRef = kMaxEntries - 1;

constexpr std::uint32_t TextPresent = 1;
constexpr std::uint32_t SoundPresent = 2;
constexpr std::uint32_t SoundLengthPresent = 4;

// Field offsets inside an entry.
constexpr int kFlagsAt = 0, kSoundRefAt = 4, kStringOffsetAt = 28, kStringSizeAt = 32, kSoundLengthAt = 36;

inline std::uint32_t readU32(const char* p)
{
    const auto* b = reinterpret_cast<const unsigned char*>(p);
    return std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 | std::uint32_t(b[2]) << 16 | std::uint32_t(b[3]) << 24;
}

inline void writeU32(char* p, std::uint32_t v)
{
    p[0] = char(v & 0xFF);
    p[1] = char((v >> 8) & 0xFF);
    p[2] = char((v >> 16) & 0xFF);
    p[3] = char((v >> 24) & 0xFF);
}

inline float bitsToFloat(std::uint32_t bits)
{
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
}

inline std::uint32_t floatToBits(float f)
{
    std::uint32_t bits;
    std::memcpy(&bits, &f, 4);
    return bits;
}

} // namespace tlk
