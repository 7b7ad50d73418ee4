#pragma once
// Carves deleted rows out of the unassigned area of a table leaf page: the
// gap between the end of the cell pointer array and the start of the cell
// content area, where SQLite leaves old bytes behind.
//
// The scan looks byte by byte for the serial types that begin a row of the
// carved table, each byte read as a one-byte serial type:
//   contacts: data1Column numeric bytes (0..7), then a text byte (odd, >= 13)
//   SMS:      numeric, numeric, text (address), seven numeric bytes, and a
//             text byte at the body's column position

#include <cstdint>

#include "engine/CarveLayout.h"

namespace engine {

class WorkBuffer;

// True when a candidate row starts at `position` of the area.
bool isCandidateRow(const WorkBuffer& area, std::int64_t position, const CarveLayout& layout);

// Scans the `length` bytes of the area held in `area`, handing each complete
// record to `sink`.
void carveUnassignedArea(const WorkBuffer& area, std::int64_t length, const CarveLayout& layout,
                         const RecordSink& sink);

}  // namespace engine
