// Sorting what is mostly in order already.  A file lists its objects table by table and
// section by section, each mostly in the order of their handles: a few ascending runs.
#pragma once

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <vector>

namespace cadhost::db::dxf {

// Sorts [first, last) by merging neighbouring ascending runs, pass by pass: each pass
// halves the runs at the cost of one move of every element, where a general sort moves
// each about log2(n) times whatever the order.  Stable: runs are merged in their order, and a
// merge keeps the left run's element first among equals.
template <class It, class Less> void SortRuns(It first, It last, Less less) {
    std::vector<std::ptrdiff_t> bounds{0};
    const std::ptrdiff_t size = std::distance(first, last);
    for (std::ptrdiff_t i = 1; i < size; ++i)
        if (less(first[i], first[i - 1]))
            bounds.push_back(i);
    bounds.push_back(size);
    while (bounds.size() > 2) {
        std::vector<std::ptrdiff_t> merged{0};
        for (std::size_t run = 0; run + 1 < bounds.size(); run += 2) {
            if (run + 2 < bounds.size()) {
                std::inplace_merge(first + bounds[run], first + bounds[run + 1],
                                   first + bounds[run + 2], less);
                merged.push_back(bounds[run + 2]);
            } else {
                merged.push_back(bounds[run + 1]);
            }
        }
        bounds.swap(merged);
    }
}

} // namespace cadhost::db::dxf
