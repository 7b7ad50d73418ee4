#pragma once
// One table of a DatabaseCopy read row by row in rowid order, by column name,
// so that one reader serves every Android version's schema: a column the
// table lacks reads as NULL.
//
// The copy is untrusted, so the scan salvages what it can. A row that SQLite
// cannot read (a damaged record, a value over the connection's length limit)
// is skipped and the scan goes on after it, by rowid. Reading stops at the
// end of the table, at the copy's work limit, at the row limit, after too
// many skipped rows, or when the table's b-tree cannot be walked any further
// (a page that cannot be read at all: the seek for the row after it leads
// back into it); the rows before are kept and the OutcomeBuilder says why it
// stopped.
//
//   SalvageTableScan scan(copy, outcome, "sms", {"_id", "body"}, {"_id"});
//   while (scan.Next()) use(scan.integer(0), scan.text(1));

#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/SqliteQuery.h"
#include "phone/DatabaseCopy.h"
#include "phone/ReadOutcome.h"

namespace phone {

// Where a scan gives up on a table, the rows before kept.
struct SalvageScanLimits {
  // No phone comes near this many rows in one table; the caller's
  // bookkeeping per row stays bounded with it.
  std::int64_t maxRows = 1000000;
  // Rows that SQLite cannot read are skipped, up to this many.
  int maxSkippedRows = 1000;
};

class SalvageTableScan {
 public:
  // An optional table may be missing without that being noted.
  enum Presence { kRequired, kOptional };

  // Finds the `wanted` columns of `table` (by name, without regard to ASCII
  // case); `required` ones, each also wanted, must all be there for any row
  // to be read. The copy must be open, and must outlive the scan, as the
  // names in `wanted` must.
  SalvageTableScan(DatabaseCopy& copy, OutcomeBuilder& outcome, std::string table,
                   std::vector<std::string_view> wanted, std::vector<std::string_view> required,
                   Presence presence = kRequired, SalvageScanLimits limits = {});

  // Moves to the next row; false when there is none (or no more can be read).
  bool Next();

  // The values of the current row, by index into `wanted`; only after Next
  // gave true. A text is SQLite's UTF-8 (or whatever bytes the file holds),
  // NULs included; it stays valid until the next call on the scan.
  bool isNull(std::size_t column) const;
  std::int64_t integer(std::size_t column) const;
  std::optional<std::string_view> text(std::size_t column) const;

 private:
  bool findTable();
  bool findColumns();
  bool hasRequiredColumns(const std::vector<std::string_view>& required);
  void prepareRows();
  bool acceptRow();
  void resumeAfterFailedStep(int rc);
  bool skipUnreadableRow();
  void stop();
  int valueIndex(std::size_t column) const;

  DatabaseCopy& copy_;
  OutcomeBuilder& outcome_;
  std::string table_;
  std::vector<std::string_view> wanted_;
  Presence presence_;
  SalvageScanLimits limits_;
  std::vector<bool> present_;  // parallel to wanted_ once the columns are found
  std::unique_ptr<engine::SqliteStatement> rows_;
  bool onRow_ = false;  // Next gave true and the values may be read
  std::int64_t lastRowid_ = std::numeric_limits<std::int64_t>::min();
  std::int64_t rowsRead_ = 0;
  int skipped_ = 0;
};

}  // namespace phone
