#pragma once
// The rows of a table leaf page image: its cells, read through the cell
// pointer array (following overflow chains in the current state), and the
// cells left in its free space (the unassigned area and the freeblocks).
// The page layout is the engine's (engine/BtreePage.h).

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "deep/ByteView.h"
#include "deep/CellCarver.h"
#include "deep/PageStore.h"

namespace deep {

// A payload longer than this is no row of a phone database (SQLite's own
// value limit in the session's connections is the same).
constexpr std::uint64_t kMaxPayload = 16u << 20;

// Reads the cells of a leaf page image whose b-tree header is at `header`;
// `sink` sees each row (the same object each time: it keeps what it needs).
void ReadLeafCells(PageStore& store, ByteView image, std::size_t header, const CellCarver& carver,
                   const std::function<void(CarvedRow&)>& sink);
void ReadLeafCells(PageStore& store, ByteView image, std::size_t header, const CellCarver& carver,
                   std::vector<CarvedRow>& out);

// Cells in the free space of a leaf page image: its unassigned area and its
// freeblocks (a chain that stops ascending inside the page ends there).
void CarveFreeSpace(ByteView image, std::size_t header, std::uint32_t usable, const CellCarver& carver,
                    std::vector<CarvedRow>& out);

}  // namespace deep
