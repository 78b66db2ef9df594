#pragma once

#include "Bytes.h"

#include <cstddef>
#include <memory>
#include <vector>

// Storage for the cell texts of one sheet. Texts live in blocks that never
// move and whose bytes never change once a view of them is handed out, so a
// view stays valid as long as the store (or a copy sharing the block) lives.
// A file read into a sheet becomes one block, and its cells are views into it:
// no allocation per cell. Replaced texts are not reclaimed before the store
// goes; edits are small next to a file, so this is cheaper than bookkeeping.
class TextStore {
public:
    TextStore() = default;
    // A copy shares the blocks (they are immutable) and appends into blocks
    // of its own.
    TextStore(const TextStore& other);
    TextStore& operator=(const TextStore& other);
    TextStore(TextStore&& other) noexcept;
    TextStore& operator=(TextStore&& other) noexcept;

    // Takes over a buffer of n bytes and returns its start. The caller may
    // still change bytes of it that no view covers yet.
    char* adopt(std::unique_ptr<char[]> data, std::size_t n);
    // A view of the same bytes that lives as long as the store: text itself
    // when it already lies in the store, a shared constant for the common
    // "****" and " ", else a copy.
    BytesView keep(BytesView text);
    bool contains(BytesView text) const;

private:
    struct Block {
        std::shared_ptr<char[]> data;
        std::size_t size = 0;
    };
    BytesView copyIn(BytesView text);

    std::vector<Block> blocks_;
    // The part of the newest own block not yet handed out.
    char* tail_ = nullptr;
    std::size_t tailFree_ = 0;
    std::size_t nextBlockSize_ = 0;
};
