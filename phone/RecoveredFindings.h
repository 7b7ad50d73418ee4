#pragma once
// What a recovery found in the two copies, for the scan's loading pass to
// turn into deleted records: the recovered rows (whole records, the
// default), or the two recovered-record texts (carving alone, one record
// per line, as another program reading the texts sees them).

#include <cstddef>
#include <memory>
#include <string>

#include "engine/RecoveredRows.h"

namespace phone {

struct RecoveredFindings {
  bool asRows = false;
  engine::RecoveredRows rows;
  std::string contactsText;
  std::string messagesText;

  static std::shared_ptr<const RecoveredFindings> OfRows(engine::RecoveredRows rows);
  static std::shared_ptr<const RecoveredFindings> OfTexts(std::string contactsText, std::string messagesText);

  // The progress units the import of each kind takes: a row or a line each.
  std::size_t contactUnits() const;
  std::size_t messageUnits() const;
};

}  // namespace phone
