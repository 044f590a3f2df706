#pragma once

#include <cstddef>
#include <functional>

// The one way the program spreads work over the cores. Work of fewer than kParallelAbove items
// stays on the calling thread: starting threads would cost more than it saves.
constexpr size_t kParallelAbove = 50000;

// How many pieces to cut items of work into: one per core, or 1 for a little work.
size_t parallelPieces(size_t items);

// Runs fn(0) to fn(pieces - 1) side by side, one on the calling thread, and returns when all are
// done. fn must not throw.
void parallelFor(size_t pieces, const std::function<void(size_t piece)>& fn);

// Cuts [0, items) into parallelPieces(items) runs of about equal length and runs
// fn(piece, begin, end) for each, side by side.
void parallelChunks(size_t items,
                    const std::function<void(size_t piece, size_t begin, size_t end)>& fn);
