#include "TlkDocumentBuilder.h"

#include "TlkFile.h"
#include "TlkWriter.h"

#include <memory>
#include <stdexcept>

namespace {

// Small enough for the block's records to stay in the cache.
constexpr std::uint32_t kBlockEntries = 16384;
// Durations are typed with "." in the texts a builder is given.
constexpr char kSeparator = '.';

TlkDocument emptyDocument()
{
    TlkDocument doc;
    doc.assign(std::make_shared<TlkFile>());
    return doc;
}

} // namespace

TlkDocumentBuilder::TlkDocumentBuilder()
    : doc_(emptyDocument()), block_(emptyDocument())
{
}

void TlkDocumentBuilder::appendBlank(std::uint32_t n)
{
    if (count() + n > tlk::kMaxEntries) throw std::length_error("A talk table holds at most 16777216 entries.");
    if (n < kBlockEntries) {
        block_.appendBlank(n);
    } else {
        flush();
        doc_.appendBlank(n);
    }
}

void TlkDocumentBuilder::append(TlkRecord record)
{
    appendBlank(1);
    if (record != TlkRecord{}) block_.setRecord(block_.count() - 1, std::move(record));
    if (block_.count() >= kBlockEntries) flush();
}

TlkDocument TlkDocumentBuilder::finish()
{
    flush();
    return std::move(doc_);
}

void TlkDocumentBuilder::flush()
{
    if (block_.count() == 0) return;
    doc_.appendFile(parseTlk(writeTlkBytes(block_, kSeparator)));
    block_ = emptyDocument();
}
