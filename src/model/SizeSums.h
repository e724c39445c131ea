// Running sums of a sequence of column widths or row heights, rebuilt on the
// first query after a change so that positions cost O(1) and searches
// O(log n) on large grids.
#pragma once

#include <cstdint>
#include <vector>

class CSizeSums {
public:
    void Invalidate() noexcept { m_valid = false; }
    // Rebuilds from sizes when a change has been reported since the last call.
    void Update(const std::vector<int>& sizes) const;

    int Count() const noexcept { return static_cast<int>(m_before.size()) - 1; }
    // -1 outside [0, Count()).
    int Size(int i) const noexcept { return i < 0 || i >= Count() ? -1 : (*m_sizes)[i]; }
    // Sum of the sizes before i (i clamped to [0, Count()]), wrapping as
    // 32-bit addition does.
    int Before(int i) const noexcept { return static_cast<int>(static_cast<std::uint32_t>(Before64(i))); }
    long long Before64(int i) const noexcept
    {
        if (i <= 0) return 0;
        return m_before[i > Count() ? Count() : i];
    }

    // No size is negative and the total stays below 2^31: the running sums
    // never fall and never wrap, so searching them gives the results of a walk.
    bool Ordered() const noexcept { return m_ordered; }
    // Ordered only: the smallest i in [from, to] with Before64(i) >= value,
    // or to + 1 when there is none.
    int FirstReaching(int from, int to, long long value) const noexcept;
    // Ordered only: the smallest i in [from, to] with Before64(i) > value,
    // or to + 1 when there is none.
    int FirstAbove(int from, int to, long long value) const noexcept;

private:
    mutable std::vector<long long> m_before{0};
    mutable const std::vector<int>* m_sizes = nullptr;
    mutable bool m_valid = false;
    mutable bool m_ordered = true;
};
