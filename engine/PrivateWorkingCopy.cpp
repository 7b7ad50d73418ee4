#include "engine/PrivateWorkingCopy.h"

#include <chrono>
#include <optional>
#include <thread>
#include <vector>

#include "platform/FileOperations.h"
#include "platform/WorkingFiles.h"

namespace engine {

namespace {

// The files SQLite reads beside a database.
constexpr const char* kCompanionSuffixes[] = {"-wal", "-journal"};
// A writer commits within milliseconds; a file that keeps changing over this
// many copies is being written without pause.
constexpr int kCopyAttempts = 8;
constexpr auto kPauseBetweenAttempts = std::chrono::milliseconds(40);

std::vector<std::optional<platform::FileFingerprint>> fingerprintsOf(const std::string& input) {
  std::vector<std::optional<platform::FileFingerprint>> fingerprints{platform::fingerprintOf(input)};
  for (const char* suffix : kCompanionSuffixes) fingerprints.push_back(platform::fingerprintOf(input + suffix));
  return fingerprints;
}

}  // namespace

std::string whyNotADatabaseFile(const std::string& path) {
  switch (platform::pathKindOf(path)) {
    case platform::PathKind::kRegular:
      return std::string();
    case platform::PathKind::kMissing:
      return "no such file: " + path;
    case platform::PathKind::kDirectory:
      return path + " is a folder, not a database file";
    case platform::PathKind::kOther:
      return path + " is not a regular file (a FIFO, socket or device); it is not read";
  }
  return path + " cannot be read";
}

PrivateWorkingCopy::PrivateWorkingCopy(const std::string& input) {
  problem_ = whyNotADatabaseFile(input);
  if (!problem_.empty()) return;
  const auto folder = platform::createPrivateFolder("zephyrloom-copy");
  if (!folder) {
    problem_ = "cannot make a private working folder to read " + input + " in";
    return;
  }
  folder_ = *folder;
  path_ = platform::joinPath(folder_, platform::fileNameOf(input));
  for (int attempt = 0; attempt < kCopyAttempts; ++attempt) {
    if (attempt > 0) std::this_thread::sleep_for(kPauseBetweenAttempts);
    const auto before = fingerprintsOf(input);
    if (!copyOnce(input)) return;
    if (fingerprintsOf(input) == before) return;
    removeCopies();
  }
  problem_ = input + " kept changing while it was copied: another program is writing it; close that program and try again";
}

PrivateWorkingCopy::~PrivateWorkingCopy() {
  if (!folder_.empty()) platform::removeFolderAndFiles(folder_);
}

bool PrivateWorkingCopy::copyOnce(const std::string& input) {
  problem_ = platform::copyRegularFile(input, path_);
  if (!problem_.empty()) return false;
  for (const char* suffix : kCompanionSuffixes) {
    // A companion that is missing, or is no plain file, is not SQLite's to read.
    if (platform::pathKindOf(input + suffix) != platform::PathKind::kRegular) continue;
    problem_ = platform::copyRegularFile(input + suffix, path_ + suffix);
    if (!problem_.empty()) return false;
  }
  return true;
}

void PrivateWorkingCopy::removeCopies() {
  platform::removeFile(path_);
  for (const char* suffix : kCompanionSuffixes) platform::removeFile(path_ + suffix);
}

}  // namespace engine
