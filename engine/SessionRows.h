#pragma once
// The rows a recovery session carved, as the rows the records are made from
// (RecoveredRows.h): found in the free space of the table's pages, their
// numbers read from the stored serial types, their texts as stored.

#include <vector>

#include "engine/CarvedRecords.h"
#include "engine/RecoveredRows.h"

namespace engine {

std::vector<RecoveredContactRow> ContactRowsOf(const std::vector<CarvedContact>& carved);
std::vector<RecoveredMessageRow> MessageRowsOf(const std::vector<CarvedSms>& carved);

}  // namespace engine
