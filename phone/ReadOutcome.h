#pragma once
// What came of reading one copy through SQLite: a status, the worst of what
// went wrong, and the details in English. The readers only collect; the
// caller decides how loud to be.

#include <cstddef>
#include <string>

namespace phone {

// What came of reading a copy, from best to worst; where several things went
// wrong, the worst is reported.
enum class ReadStatus {
  kRead,           // every row of every table read
  kMissingTables,  // a table (or a key column) is missing; its lists are empty
  kDamaged,        // SQLite could not read some rows; the others are kept
  kTooLarge,       // the arena's limit or the work limit was reached; the rows before are kept
  kNotADatabase,   // SQLite cannot read the file as a database; no records
  kNoCopy,         // there is no file at the path; no records
};

struct ReadOutcome {
  ReadStatus status = ReadStatus::kRead;
  // What went wrong, in English, for a notice or a log: the tables
  // concerned and SQLite's own message. Empty when everything was read.
  std::string detail;
  // Texts that held bytes that are not UTF-8, read with U+FFFD for them:
  // read all the same, so the status does not say it.
  std::size_t repairedTexts = 0;

  bool complete() const { return status == ReadStatus::kRead; }
};

// Collects what went wrong during one read; the worst status wins and every
// detail is kept, in the order noted.
class OutcomeBuilder {
 public:
  void Note(ReadStatus status, const std::string& what);
  void NoteRepairedText() { ++outcome_.repairedTexts; }
  const ReadOutcome& outcome() const { return outcome_; }

 private:
  ReadOutcome outcome_;
};

}  // namespace phone
