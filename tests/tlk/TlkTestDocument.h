#pragma once

// Documents for tests, stated record by record.

#include "TlkBytes.h"
#include "TlkDocument.h"

#include <vector>

// A document of exactly these records (StrRef = position); none when empty.
inline TlkDocument docOf(const std::vector<TlkRecord>& records)
{
    TlkDocument doc;
    doc.assign(parseTlk(rawTlk({}, "")));
    doc.appendBlank(std::uint32_t(records.size()));
    for (std::uint32_t i = 0; i < records.size(); ++i) doc.setRecord(i, records[i]);
    return doc;
}
