#include "model/SizeSums.h"

#include <algorithm>
#include <climits>

void CSizeSums::Update(const std::vector<int>& sizes) const
{
    m_sizes = &sizes;
    if (m_valid && m_before.size() == sizes.size() + 1) return;
    m_before.resize(sizes.size() + 1);
    m_before[0] = 0;
    bool ordered = true;
    for (size_t i = 0; i < sizes.size(); ++i) {
        if (sizes[i] < 0) ordered = false;
        m_before[i + 1] = m_before[i] + sizes[i];
    }
    m_ordered = ordered && m_before.back() <= INT_MAX;
    m_valid = true;
}

int CSizeSums::FirstReaching(int from, int to, long long value) const noexcept
{
    if (from > to) return to + 1;
    auto begin = m_before.begin() + from;
    auto end = m_before.begin() + to + 1;
    return from + static_cast<int>(std::lower_bound(begin, end, value) - begin);
}

int CSizeSums::FirstAbove(int from, int to, long long value) const noexcept
{
    if (from > to) return to + 1;
    auto begin = m_before.begin() + from;
    auto end = m_before.begin() + to + 1;
    return from + static_cast<int>(std::upper_bound(begin, end, value) - begin);
}
