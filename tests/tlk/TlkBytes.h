#pragma once

// Builds talk table bytes field by field, so tests state files exactly.

#include "TlkFormat.h"

#include <cstdint>
#include <string>
#include <vector>

struct RawEntry {
    std::uint32_t flags = 0;
    std::string sound;
    std::uint32_t volume = 0, pitch = 0, offset = 0, size = 0;
    float length = 0;
};

inline std::string u32le(std::uint32_t v)
{
    std::string s(4, '\0');
    tlk::writeU32(s.data(), v);
    return s;
}

inline std::string rawHeader(std::uint32_t count, std::uint32_t dataOffset, const std::string& sig = "TLK V3.0",
                             std::uint32_t language = 0)
{
    return sig + u32le(language) + u32le(count) + u32le(dataOffset);
}

inline std::string rawEntry(const RawEntry& e)
{
    std::string sound = e.sound;
    sound.resize(16, '\0');
    return u32le(e.flags) + sound + u32le(e.volume) + u32le(e.pitch) + u32le(e.offset) + u32le(e.size) +
           u32le(tlk::floatToBits(e.length));
}

inline std::string rawTlk(const std::vector<RawEntry>& entries, const std::string& strings)
{
    std::string out = rawHeader(std::uint32_t(entries.size()), std::uint32_t(20 + 40 * entries.size()));
    for (const auto& e : entries) out += rawEntry(e);
    return out + strings;
}
