// Settings file: the input is a value, a 0x00 byte, then the file's text.
// Reading any file gives a value of at most 2047 bytes; writing a value
// without line breaks reads back as that value trimmed (and cut to 2047
// bytes), under any case of the section and key names, while every other
// key keeps what it read before.

#include "FuzzCheck.h"
#include "FuzzTempFile.h"
#include "IniFile.h"

#include <cstdint>
#include <string>

namespace {

const std::string kDefault = "<default>";

std::string trimmed(const std::string& s)
{
    std::size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

// The keys the program uses, and one that it never writes.
struct Probe {
    const char* section;
    const char* key;
};
const Probe kOthers[] = {
    {"settings", "_2daInitialDirectory"},
    {"other", "TlkInitialDirectory"},
    {"settings", "Key"},
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static FuzzTempFile scratch("varnholdstd.conf");
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t split = input.find('\0');
    const std::string value = split == std::string::npos ? input : input.substr(0, split);
    const std::string file = split == std::string::npos ? std::string() : input.substr(split + 1);

    scratch.write(file);
    IniFile ini(scratch.path());
    std::string before[std::size(kOthers)];
    for (std::size_t i = 0; i < std::size(kOthers); ++i) {
        before[i] = ini.readString(kOthers[i].section, kOthers[i].key, kDefault);
        FUZZ_CHECK(before[i].size() <= IniFile::kMaxValue);
    }
    std::string mine = ini.readString("settings", "TlkInitialDirectory", kDefault);
    FUZZ_CHECK(mine.size() <= IniFile::kMaxValue);
    FUZZ_CHECK(ini.readString("SETTINGS", "tlkinitialdirectory", kDefault) == mine);

    ini.writeString("settings", "TlkInitialDirectory", value);
    if (value.find_first_of("\r\n") != std::string::npos) return 0; // a line break makes new lines
    std::string expected = trimmed(value).substr(0, IniFile::kMaxValue);
    FUZZ_CHECK(ini.readString("settings", "TlkInitialDirectory", kDefault) == expected);
    FUZZ_CHECK(ini.readString("Settings", "TLKINITIALDIRECTORY", kDefault) == expected);
    for (std::size_t i = 0; i < std::size(kOthers); ++i)
        FUZZ_CHECK(ini.readString(kOthers[i].section, kOthers[i].key, kDefault) == before[i]);

    // Writing the same value again changes no byte.
    const Bytes once = scratch.read();
    ini.writeString("settings", "TlkInitialDirectory", value);
    FUZZ_CHECK(scratch.read() == once);
    return 0;
}
