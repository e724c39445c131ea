// CCellLines: the storage of a table's rows, one line of cell slots per row,
// carved from large blocks. Growing a table by many rows makes a few
// allocations instead of one per row, and a line given back is used again
// before a new block is made. A block goes once none of its lines is in use.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "model/GridCell.h"

class CCellLines {
public:
    CCellLines() = default;
    CCellLines(const CCellLines&) = delete;
    CCellLines& operator=(const CCellLines&) = delete;

    // Lines taken from now on hold `stride` slots; lines already out keep
    // theirs.
    void SetStride(size_t stride) noexcept;
    size_t Stride() const noexcept { return m_stride; }
    // Makes sure n lines can be taken without allocating; throws bad_alloc.
    void Reserve(size_t n);
    // A line of Stride() slots with undefined contents; null when the
    // stride is 0. Only after Reserve: it never allocates.
    CellSlot* Take() noexcept;
    // Takes back a line from Take (null is ignored).
    void Give(CellSlot* line) noexcept;
    // Slots the line holds; 0 for null.
    size_t Capacity(const CellSlot* line) const noexcept;
    // Blocks held, for tests.
    size_t Blocks() const noexcept { return m_blocks.size(); }

private:
    struct Block {
        std::unique_ptr<CellSlot[]> slots;
        size_t stride = 0;
        size_t lines = 0;
        size_t used = 0;  // lines ever handed out; those past it are untouched
        size_t live = 0;  // lines out now
        CellSlot* free = nullptr;  // lines given back, linked through their first slot
        size_t Room() const noexcept { return lines - live; }
    };
    // The block holding line, by address.
    Block* Find(const CellSlot* line) const noexcept;
    size_t LinesOfStride() const noexcept;

    std::vector<std::unique_ptr<Block>> m_blocks;  // sorted by address
    size_t m_stride = 0;
    size_t m_room = 0;        // lines the blocks of the current stride can still give
    Block* m_open = nullptr;  // the block Take looks at first
};
