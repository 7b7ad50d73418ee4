#pragma once
// A private working copy of one SQLite database: the file, with its rollback
// journal or write-ahead log when one lies beside it, copied into a folder of
// its own under the temporary folder.
//
// The copies a user hands us are evidence. SQLite, even read-only, creates a
// "-shm" beside a WAL database, may delete a "-wal", and cannot roll back a
// hot journal without writing; a database another program is committing to
// may read as empty. All of that happens here instead: the copy is opened
// read-write (SqliteConnection::openWorkingCopy), so that a hot journal is
// rolled back and the live rows are those of the last commit, and the
// inputs keep every byte they had. The journal beside the input is never
// touched, so its pages stay there for whoever carves them.
//
// A file that changes while it is copied (a writer committing) is copied
// again, a few times; a FIFO, device or folder is refused before it is
// opened for reading, so that it cannot block. The folder and everything in
// it are removed when the object ends.

#include <string>

namespace engine {

class PrivateWorkingCopy {
 public:
  explicit PrivateWorkingCopy(const std::string& input);
  ~PrivateWorkingCopy();
  PrivateWorkingCopy(const PrivateWorkingCopy&) = delete;
  PrivateWorkingCopy& operator=(const PrivateWorkingCopy&) = delete;

  bool ready() const { return problem_.empty(); }
  // The copy of the database, under the input's own file name.
  const std::string& path() const { return path_; }
  // Why there is no copy, naming the input; empty when ready.
  const std::string& problem() const { return problem_; }

 private:
  bool copyOnce(const std::string& input);
  void removeCopies();

  std::string folder_;
  std::string path_;
  std::string problem_;
};

// Why a path cannot be read as a database file ("no such file: X", "X is
// not a regular file ..."); empty for a regular file.
std::string whyNotADatabaseFile(const std::string& path);

}  // namespace engine
