#include "parallel.h"

#include <algorithm>
#include <thread>
#include <vector>

size_t parallelPieces(size_t items) {
    if (items <= kParallelAbove)
        return 1;
    const size_t cores = std::max(1u, std::thread::hardware_concurrency());
    return std::clamp<size_t>(items / kParallelAbove, 1, cores);
}

void parallelFor(size_t pieces, const std::function<void(size_t)>& fn) {
    std::vector<std::thread> helpers;
    helpers.reserve(pieces > 0 ? pieces - 1 : 0);
    for (size_t k = 1; k < pieces; ++k)
        helpers.emplace_back(fn, k);
    if (pieces > 0)
        fn(0);
    for (std::thread& helper : helpers)
        helper.join();
}

void parallelChunks(size_t items, const std::function<void(size_t, size_t, size_t)>& fn) {
    const size_t pieces = parallelPieces(items);
    parallelFor(pieces, [&](size_t k) { fn(k, items * k / pieces, items * (k + 1) / pieces); });
}
