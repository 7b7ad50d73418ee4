#pragma once
// A SQLite connection to a private working copy of one phone database, with
// the limits that keep a hostile file from exhausting memory or time.
//
// The file a user hands us is evidence and stays untouched: SQLite works on
// an engine::PrivateWorkingCopy, where a hot journal is rolled back and a WAL
// beside the file is read. The connection refuses values longer than
// engine::SqliteConnection::kMaxValueBytes, and once the work limit is
// spent every statement on it is interrupted (sqlite3_step gives
// SQLITE_INTERRUPT), so the caller keeps what it read before.

#include <cstdint>
#include <memory>
#include <string>

#include "engine/PrivateWorkingCopy.h"
#include "engine/SqliteQuery.h"
#include "phone/ReadOutcome.h"

struct sqlite3;

namespace phone {

class DatabaseCopy {
 public:
  // SQLite reports its progress every this many virtual-machine steps; the
  // work limit is counted in these reports.
  static constexpr std::int64_t kStepsPerProgressReport = 10000;
  // Far above what the largest phone needs, low enough that a hostile
  // schema cannot keep the reader busy for more than a minute or so.
  static constexpr std::int64_t kDefaultWorkLimitSteps = 3000000000;

  explicit DatabaseCopy(std::int64_t workLimitSteps = kDefaultWorkLimitSteps);
  DatabaseCopy(const DatabaseCopy&) = delete;
  DatabaseCopy& operator=(const DatabaseCopy&) = delete;

  // Copies the file at `path` and opens the copy; false, with the reason
  // noted in `outcome`, when there is no file or SQLite cannot read it as a
  // database. Called once per object.
  bool Open(const std::string& path, OutcomeBuilder& outcome);

  // The connection; null until Open succeeds.
  sqlite3* db() const { return connection_.handle(); }
  // True once the work limit is spent.
  bool outOfTime() const { return progressReports_ > maxProgressReports_; }

 private:
  static int onProgress(void* self);

  // Declared first so that it goes last, after the connection has closed.
  std::unique_ptr<engine::PrivateWorkingCopy> workingCopy_;
  engine::SqliteConnection connection_;
  std::int64_t maxProgressReports_;
  std::int64_t progressReports_ = 0;
};

}  // namespace phone
