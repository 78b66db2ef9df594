// quellmoor-cli's talk table JSON input (json-to-tlk). Any bytes are either
// refused with CliError or give a document that holds exactly what the JSON
// array says, read apart with the library's own tree parser: each entry at
// its StrRef (given, or the next one), blanks in the gaps, texts encoded by
// the code page, durations as the numbers their texts name. Such a document
// printed by tlk-to-json reads back to the same document, and written as a
// talk table reads back to the same rows.

#include "CliJsonCourse.h"
#include "NumberText.h"
#include "TlkDocument.h"
#include "TlkFile.h"
#include "TlkJson.h"
#include "TlkWriter.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <optional>
#include <vector>

namespace {

// Larger documents (a StrRef far ahead makes millions of blank entries) are
// checked at the entries the JSON names only.
constexpr std::uint32_t kFullCheckLimit = 100000;

Bytes encoded(const nlohmann::json& item, const char* key, const CodePage& page)
{
    auto it = item.find(key);
    if (it == item.end()) return {};
    std::optional<Bytes> bytes = page.encodeUtf8(it->get<std::string>());
    FUZZ_CHECK(bytes);
    return *bytes;
}

// The float an entry's duration stands for, whether the document holds the
// text as typed or the number; nothing when the cell is empty.
std::optional<std::uint32_t> durationBits(const TlkDocument& doc, std::uint32_t i)
{
    TlkDocument::Duration d = doc.duration(i);
    if (d.kind == TlkDocument::Duration::None) return std::nullopt;
    if (d.kind == TlkDocument::Duration::Stored) return d.bits;
    std::optional<float> value = durationTextToFloat(d.text, '.');
    FUZZ_CHECK(value);
    return tlk::floatToBits(*value);
}

void checkEntry(const TlkDocument& doc, std::uint32_t i, BytesView text, BytesView sound,
                std::optional<std::uint32_t> duration)
{
    FUZZ_CHECK(doc.text(i) == text);
    FUZZ_CHECK(doc.sound(i) == sound);
    FUZZ_CHECK(durationBits(doc, i) == duration);
}

void checkAgainstTree(const TlkDocument& doc, BytesView input, const CodePage& page)
{
    nlohmann::json tree = nlohmann::json::parse(input.begin(), input.end(), nullptr, false);
    FUZZ_CHECK(!tree.is_discarded() && tree.is_array());
    std::uint64_t next = 0;
    std::vector<std::uint32_t> named;
    for (const nlohmann::json& item : tree) {
        FUZZ_CHECK(item.is_object());
        std::uint64_t strref = item.contains("strref") ? item["strref"].get<std::uint64_t>() : next;
        FUZZ_CHECK(strref >= next && strref <= tlk::kMaxStrRef);
        std::optional<std::uint32_t> duration;
        if (Bytes typed = encoded(item, "duration", page); !typed.empty()) {
            std::optional<float> value = durationTextToFloat(typed, '.');
            FUZZ_CHECK(value);
            duration = tlk::floatToBits(*value);
        }
        checkEntry(doc, std::uint32_t(strref), encoded(item, "text", page), encoded(item, "sound", page), duration);
        named.push_back(std::uint32_t(strref));
        next = strref + 1;
    }
    FUZZ_CHECK(doc.count() == next);
    if (doc.count() > kFullCheckLimit) return;
    std::size_t k = 0;
    for (std::uint32_t i = 0; i < doc.count(); ++i) {
        if (k < named.size() && named[k] == i) {
            ++k;
            continue;
        }
        checkEntry(doc, i, {}, {}, std::nullopt);
    }
}

// Printed and read back, or written as a talk table and read back: the same
// texts, sounds and duration values.
void checkSameDocument(const TlkDocument& a, const TlkDocument& b)
{
    FUZZ_CHECK(a.count() == b.count());
    for (std::uint32_t i = 0; i < a.count(); ++i) checkEntry(b, i, a.text(i), a.sound(i), durationBits(a, i));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static FuzzTempFile input("input.json");
    const BytesView bytes(reinterpret_cast<const char*>(data), size);
    input.write(bytes);
    runCliJsonCourse<TlkDocument>(
        input, readTlkJson, writeTlkJson,
        [&](const TlkDocument& doc, const CodePage& page) {
            checkAgainstTree(doc, bytes, page);
            if (doc.count() > kFullCheckLimit) return false;
            TlkDocument file;
            file.assign(parseTlk(writeTlkBytes(doc, '.')));
            checkSameDocument(doc, file);
            return true;
        },
        checkSameDocument);
    return 0;
}
