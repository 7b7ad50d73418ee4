#include "phone/DatabaseCopy.h"

#include <sqlite3.h>

#include <cassert>

#include "platform/FileOperations.h"

namespace phone {

DatabaseCopy::DatabaseCopy(std::int64_t workLimitSteps)
    : maxProgressReports_(workLimitSteps / kStepsPerProgressReport) {}

bool DatabaseCopy::Open(const std::string& path, OutcomeBuilder& outcome) {
  // A second Open would close a connection that scans may still hold
  // statements on.
  assert(workingCopy_ == nullptr && connection_.handle() == nullptr);
  if (!platform::fileExists(path)) {
    outcome.Note(ReadStatus::kNoCopy, "there is no file " + path);
    return false;
  }
  workingCopy_ = std::make_unique<engine::PrivateWorkingCopy>(path);
  if (!workingCopy_->ready()) {
    outcome.Note(ReadStatus::kNotADatabase, workingCopy_->problem());
    return false;
  }
  if (!connection_.openWorkingCopy(workingCopy_->path())) {
    outcome.Note(ReadStatus::kNotADatabase, "SQLite cannot open " + path);
    return false;
  }
  sqlite3* connection = connection_.handle();
  sqlite3_progress_handler(connection, static_cast<int>(kStepsPerProgressReport), &DatabaseCopy::onProgress, this);
  // The first read of the schema tells whether this is a database at all.
  engine::SqliteStatement probe(connection, "SELECT count(*) FROM sqlite_master");
  if (!probe.prepared() || sqlite3_step(probe.get()) != SQLITE_ROW) {
    outcome.Note(ReadStatus::kNotADatabase, path + " is not a readable database: " + sqlite3_errmsg(connection));
    return false;
  }
  return true;
}

// Counts SQLite's progress reports; a non-zero answer interrupts the
// statement that is running.
int DatabaseCopy::onProgress(void* self) {
  auto* copy = static_cast<DatabaseCopy*>(self);
  ++copy->progressReports_;
  return copy->outOfTime() ? 1 : 0;
}

}  // namespace phone
