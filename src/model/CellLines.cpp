#include "model/CellLines.h"

#include <algorithm>
#include <cstring>
#include <functional>

namespace {

// About a megabyte a block: few enough blocks for a big table, and small
// enough to be found in a fragmented 32-bit address space.
constexpr size_t kBlockBytes = 1u << 20;

CellSlot* NextFree(const CellSlot* line) noexcept
{
    CellSlot* next;
    std::memcpy(&next, line, sizeof next);
    return next;
}

void SetNextFree(CellSlot* line, CellSlot* next) noexcept
{
    std::memcpy(line, &next, sizeof next);
}

} // namespace

void CCellLines::SetStride(size_t stride) noexcept
{
    if (stride == m_stride) return;
    m_stride = stride;
    m_open = nullptr;
    m_room = 0;
    for (const auto& b : m_blocks)
        if (b->stride == stride) m_room += b->Room();
}

size_t CCellLines::LinesOfStride() const noexcept
{
    size_t n = 0;
    for (const auto& b : m_blocks)
        if (b->stride == m_stride) n += b->lines;
    return n;
}

void CCellLines::Reserve(size_t n)
{
    if (m_stride == 0 || m_room >= n) return;
    const size_t most = std::max<size_t>(1, kBlockBytes / (m_stride * sizeof(CellSlot)));
    // Blocks grow with the table, so that a small table keeps a small block
    // and adding rows one by one does not make a block for each.
    size_t have = LinesOfStride();
    while (m_room < n) {
        const size_t lines = std::min(most, std::max(n - m_room, have));
        auto block = std::make_unique<Block>();
        block->slots.reset(new CellSlot[lines * m_stride]);
        block->stride = m_stride;
        block->lines = lines;
        const auto at = std::upper_bound(m_blocks.begin(), m_blocks.end(), block->slots.get(),
                                         [](const CellSlot* p, const std::unique_ptr<Block>& b) {
                                             return std::less<const CellSlot*>()(p, b->slots.get());
                                         });
        m_open = block.get();
        m_blocks.insert(at, std::move(block));
        m_room += lines;
        have += lines;
    }
}

CellSlot* CCellLines::Take() noexcept
{
    if (m_stride == 0 || m_room == 0) return nullptr;
    Block* b = m_open;
    if (!b || b->stride != m_stride || b->Room() == 0) {
        b = nullptr;
        for (const auto& c : m_blocks)
            if (c->stride == m_stride && c->Room() > 0) b = c.get();
        if (!b) return nullptr;
        m_open = b;
    }
    CellSlot* line;
    if (b->free) {
        line = b->free;
        b->free = NextFree(line);
    } else {
        line = b->slots.get() + b->used * b->stride;
        ++b->used;
    }
    ++b->live;
    --m_room;
    return line;
}

void CCellLines::Give(CellSlot* line) noexcept
{
    Block* b = Find(line);
    if (!b) return;
    --b->live;
    if (b->stride == m_stride) ++m_room;
    if (b->live > 0) {
        SetNextFree(line, b->free);
        b->free = line;
        return;
    }
    // Nothing of the block is in use: it goes.
    if (b->stride == m_stride) m_room -= b->lines;
    if (m_open == b) m_open = nullptr;
    m_blocks.erase(std::find_if(m_blocks.begin(), m_blocks.end(),
                                [b](const std::unique_ptr<Block>& p) { return p.get() == b; }));
}

size_t CCellLines::Capacity(const CellSlot* line) const noexcept
{
    const Block* b = Find(line);
    return b ? b->stride : 0;
}

CCellLines::Block* CCellLines::Find(const CellSlot* line) const noexcept
{
    if (!line) return nullptr;
    const std::less<const CellSlot*> less;
    auto at = std::upper_bound(m_blocks.begin(), m_blocks.end(), line,
                               [&](const CellSlot* p, const std::unique_ptr<Block>& b) { return less(p, b->slots.get()); });
    if (at == m_blocks.begin()) return nullptr;
    Block* b = (at - 1)->get();
    return less(line, b->slots.get() + b->lines * b->stride) ? b : nullptr;
}
