#include "TextStore.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <utility>

namespace {
// Texts so common in sheets (the empty-value placeholder, the blank the
// reader stores for an empty text) that they are shared rather than stored.
constexpr BytesView kShared[] = {"****", " "};

constexpr std::size_t kFirstBlock = 64 * 1024;
constexpr std::size_t kLargestBlock = 16 * 1024 * 1024;
}

TextStore::TextStore(const TextStore& other)
    : blocks_(other.blocks_)
{
}

TextStore& TextStore::operator=(const TextStore& other)
{
    if (this != &other) {
        blocks_ = other.blocks_;
        tail_ = nullptr;
        tailFree_ = 0;
        nextBlockSize_ = 0;
    }
    return *this;
}

TextStore::TextStore(TextStore&& other) noexcept
    : blocks_(std::move(other.blocks_))
    , tail_(std::exchange(other.tail_, nullptr))
    , tailFree_(std::exchange(other.tailFree_, 0))
    , nextBlockSize_(std::exchange(other.nextBlockSize_, 0))
{
    other.blocks_.clear();
}

TextStore& TextStore::operator=(TextStore&& other) noexcept
{
    if (this != &other) {
        blocks_ = std::move(other.blocks_);
        other.blocks_.clear();
        tail_ = std::exchange(other.tail_, nullptr);
        tailFree_ = std::exchange(other.tailFree_, 0);
        nextBlockSize_ = std::exchange(other.nextBlockSize_, 0);
    }
    return *this;
}

char* TextStore::adopt(std::unique_ptr<char[]> data, std::size_t n)
{
    char* start = data.get();
    blocks_.push_back(Block{std::shared_ptr<char[]>(std::move(data)), n});
    return start;
}

bool TextStore::contains(BytesView text) const
{
    // Pointers into unrelated blocks are ordered with std::less, which is total.
    std::less<const char*> before;
    const char* first = text.data();
    for (auto it = blocks_.rbegin(); it != blocks_.rend(); ++it) {
        const char* begin = it->data.get();
        if (!before(first, begin) && !before(begin + it->size, first)
            && text.size() <= static_cast<std::size_t>(begin + it->size - first))
            return true;
    }
    return false;
}

BytesView TextStore::keep(BytesView text)
{
    if (text.empty()) return {};
    if (contains(text)) return text;
    for (BytesView shared : kShared)
        if (text == shared) return shared;
    return copyIn(text);
}

BytesView TextStore::copyIn(BytesView text)
{
    if (text.size() > tailFree_) {
        // Blocks grow with use so that a long editing session keeps few of them.
        nextBlockSize_ = std::clamp(nextBlockSize_ * 2, kFirstBlock, kLargestBlock);
        std::size_t size = std::max(nextBlockSize_, text.size());
        char* start = adopt(std::make_unique_for_overwrite<char[]>(size), size);
        tail_ = start;
        tailFree_ = size;
    }
    std::memcpy(tail_, text.data(), text.size());
    BytesView kept(tail_, text.size());
    tail_ += text.size();
    tailFree_ -= text.size();
    return kept;
}
