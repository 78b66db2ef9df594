#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One object of a talk table JSON file as parsed, before any check.
struct TlkJsonEntry {
    enum Key { StrRef, Text, Sound, Duration, KeyCount };
    static constexpr const char* kKeyNames[KeyCount] = {"strref", "text", "sound", "duration"};

    std::uint64_t index = 0; // place in the array, from 0
    unsigned seen = 0;       // bit (1 << Key) for each key given
    std::uint64_t strref = 0;
    std::string cells[KeyCount]; // UTF-8 texts of "text", "sound" and "duration"

    bool has(Key k) const { return seen & (1u << k); }
};

// Entries handed on together; entries past count keep their room for reuse.
struct TlkJsonBatch {
    std::vector<TlkJsonEntry> entries;
    std::size_t count = 0; // complete entries

    void clear() { count = 0; }
    // The entry being parsed, emptied; it counts once close() is called.
    TlkJsonEntry& open()
    {
        if (count == entries.size()) entries.emplace_back();
        TlkJsonEntry& e = entries[count];
        e.seen = 0;
        for (std::string& c : e.cells) c.clear();
        return e;
    }
    void close() { ++count; }
};

// "entry N: ", the start of a message about an entry.
inline std::string entryPlace(std::uint64_t index) { return "entry " + std::to_string(index) + ": "; }
