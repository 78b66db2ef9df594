#include "TlkDocument.h"

#include "NumberText.h"

#include <algorithm>
#include <stdexcept>

TlkDocument::TlkDocument() { reset(); }

void TlkDocument::reset()
{
    segments_.clear();
    edits_.clear();
    count_ = 1;
}

void TlkDocument::assign(std::shared_ptr<const TlkFile> file)
{
    segments_.clear();
    edits_.clear();
    count_ = 0;
    appendFile(std::move(file));
}

void TlkDocument::appendBlank(std::uint32_t n)
{
    if (std::uint64_t(count_) + n > tlk::kMaxEntries)
        throw std::length_error("A talk table holds at most 16777216 entries.");
    count_ += n;
}

void TlkDocument::appendFile(std::shared_ptr<const TlkFile> file)
{
    if (std::uint64_t(count_) + file->count() > tlk::kMaxEntries)
        throw std::length_error("A talk table holds at most 16777216 entries.");
    if (file->count() == 0) return;
    std::uint32_t first = count_;
    count_ += file->count();
    segments_.push_back({first, file->count(), std::move(file)});
}

void TlkDocument::setRecord(std::uint32_t i, TlkRecord record)
{
    if (i >= count_) throw std::out_of_range("No entry with StrRef " + std::to_string(i) + ".");
    edits_[i] = std::move(record);
}

const TlkDocument::Segment* TlkDocument::segmentOf(std::uint32_t i) const
{
    // Most tables are one file, perhaps with blank entries or another file
    // after it: the last segment answers most lookups without a search.
    if (segments_.empty()) return nullptr;
    const Segment& last = segments_.back();
    if (i >= last.first) return i - last.first < last.count ? &last : nullptr;
    auto it = std::upper_bound(segments_.begin(), segments_.end(), i,
                               [](std::uint32_t v, const Segment& s) { return v < s.first; });
    if (it == segments_.begin()) return nullptr;
    --it;
    return i - it->first < it->count ? &*it : nullptr;
}

const TlkRecord* TlkDocument::edited(std::uint32_t i) const
{
    if (edits_.empty()) return nullptr;
    auto it = edits_.find(i);
    return it == edits_.end() ? nullptr : &it->second;
}

BytesView TlkDocument::text(std::uint32_t i) const
{
    if (const TlkRecord* r = edited(i)) return r->text;
    if (const Segment* s = segmentOf(i)) return s->file->text(i - s->first);
    return {};
}

BytesView TlkDocument::sound(std::uint32_t i) const
{
    if (const TlkRecord* r = edited(i)) return r->sound;
    if (const Segment* s = segmentOf(i)) return s->file->sound(i - s->first);
    return {};
}

TlkDocument::Duration TlkDocument::duration(std::uint32_t i) const
{
    Duration d;
    if (const TlkRecord* r = edited(i)) {
        if (!r->duration.empty()) {
            d.kind = Duration::Typed;
            d.text = r->duration;
        }
    } else if (const Segment* s = segmentOf(i)) {
        std::uint32_t k = i - s->first;
        if (s->file->hasDuration(k)) {
            d.kind = Duration::Stored;
            d.bits = s->file->durationBits(k);
        }
    }
    return d;
}

Bytes TlkDocument::durationText(std::uint32_t i, char sep) const
{
    Duration d = duration(i);
    switch (d.kind) {
    case Duration::Typed: return Bytes(d.text);
    case Duration::Stored: return floatToDurationText(tlk::bitsToFloat(d.bits), sep);
    default: return {};
    }
}

TlkRecord TlkDocument::record(std::uint32_t i, char sep) const
{
    return {Bytes(text(i)), Bytes(sound(i)), durationText(i, sep)};
}
