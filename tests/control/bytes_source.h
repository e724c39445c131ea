// Bytes in memory as the stored-record reader's source.
#pragma once

#include <algorithm>
#include <cstring>
#include <vector>

#include "control/StoredRecord.h"

namespace control_test {

using Bytes = std::vector<uint8_t>;

class BytesSource final : public record::Source {
public:
    explicit BytesSource(const Bytes& b, bool knowsSize = true) : m_b(b), m_knowsSize(knowsSize) {}
    size_t Read(void* buffer, size_t size) override
    {
        size_t n = std::min(size, m_b.size() - m_pos);
        if (n) std::memcpy(buffer, m_b.data() + m_pos, n);
        m_pos += n;
        return n;
    }
    bool Remaining(uint64_t& bytes) override
    {
        bytes = m_b.size() - m_pos;
        return m_knowsSize;
    }

private:
    const Bytes& m_b;
    size_t m_pos = 0;
    bool m_knowsSize;
};

} // namespace control_test
