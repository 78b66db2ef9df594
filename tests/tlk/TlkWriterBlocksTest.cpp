#include "TlkBytes.h"
#include "TlkTestDocument.h"
#include "TlkWriter.h"

#include "FileError.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

// The writer works through blocks of entries and joins texts that lie next to
// each other; tables larger than a block must come out exactly as packed.

namespace {

// Entries of a file: packed texts, some missing, some with sound and duration.
std::string sampleFile(std::uint32_t count, const std::string& tag)
{
    std::vector<RawEntry> entries;
    std::string strings;
    for (std::uint32_t i = 0; i < count; ++i) {
        RawEntry e;
        e.offset = std::uint32_t(strings.size());
        if (i % 7 != 3) {
            std::string text = tag + std::to_string(i);
            e.flags |= 1;
            e.size = std::uint32_t(text.size());
            strings += text;
        }
        if (i % 5 == 0) {
            e.flags |= 2 | 4;
            e.sound = "vo_" + std::to_string(i);
            e.length = float(i % 13) / 10.0f;
        }
        entries.push_back(e);
    }
    return rawTlk(entries, strings);
}

// The packed file of a document, made entry by entry the plain way.
std::string packed(const TlkDocument& doc)
{
    std::vector<RawEntry> entries;
    std::string strings;
    for (std::uint32_t i = 0; i < doc.count(); ++i) {
        RawEntry e;
        BytesView text = doc.text(i);
        TlkDocument::Duration d = doc.duration(i);
        e.flags = (text.empty() ? 0 : 1) | (doc.sound(i).empty() ? 0 : 2) | (d.kind ? 4 : 0);
        e.sound = Bytes(doc.sound(i));
        e.offset = std::uint32_t(strings.size());
        e.size = std::uint32_t(text.size());
        e.length = d.kind == TlkDocument::Duration::Stored ? tlk::bitsToFloat(d.bits) : d.kind ? 2.5f : 0.0f;
        strings += text;
        entries.push_back(e);
    }
    return rawTlk(entries, strings);
}

} // namespace

TEST(TlkWriterBlocks, TablesOfManyBlocksArePackedExactly)
{
    TlkDocument doc;
    doc.assign(parseTlk(sampleFile(70000, "a")));
    doc.appendBlank(5);
    doc.appendFile(parseTlk(sampleFile(40000, "b")));
    // Edited entries break the runs of adjacent texts, at block edges too.
    for (std::uint32_t i : {0u, 1u, 32767u, 32768u, 65535u, 70002u, 70005u, 109999u, 110004u})
        doc.setRecord(i, {i % 2 ? "" : "edited" + std::to_string(i), "snd", "2,5"});

    std::string expected = packed(doc);
    EXPECT_EQ(writeTlkBytes(doc, ','), expected);

    // On disk, every entry point comes before every text point, each in row order.
    auto path = std::filesystem::temp_directory_path() / "tlk_writer_blocks_test.tlk";
    std::vector<std::uint32_t> entryPoints, textPoints;
    TlkWritePoints points;
    points.entry = [&](std::uint32_t i) {
        EXPECT_TRUE(textPoints.empty());
        entryPoints.push_back(i);
    };
    points.text = [&](std::uint32_t i) { textPoints.push_back(i); };
    WriteTlk(doc, path.string(), ',', points);
    std::ifstream in(path, std::ios::binary);
    std::string written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::filesystem::remove(path);
    EXPECT_EQ(written, expected);
    ASSERT_EQ(entryPoints.size(), doc.count());
    ASSERT_EQ(textPoints.size(), doc.count());
    for (std::uint32_t i = 0; i < doc.count(); ++i) {
        ASSERT_EQ(entryPoints[i], i);
        ASSERT_EQ(textPoints[i], i);
    }
}
