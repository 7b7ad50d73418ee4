#include "helper/PhoneCopy.h"

#include <cstdint>

#include "platform/BinaryFile.h"
#include "platform/FileOperations.h"

namespace adbhelper {

const char* const kSideFileSuffixes[2] = {"-wal", "-journal"};

std::string TemporaryCopyPath(const std::string& localPath) { return localPath + ".part"; }

namespace {

std::string bytes(std::uint64_t count) { return std::to_string(count) + (count == 1 ? " byte" : " bytes"); }

// Copies one phone file of known size into place at `localPath`.
StepResult copyFile(PhoneFiles& phone, const std::string& phonePath, std::uint64_t size,
                    const std::string& localPath) {
  const std::string folder = platform::parentFolder(localPath);
  if (!folder.empty() && !platform::createFolders(folder)) {
    return Failed(HelperStatus::kLocalFile, "cannot create the folder " + folder);
  }
  // Made here first, so that a copy that cannot be written is told apart
  // from a phone that cannot be read.
  const std::string temporary = TemporaryCopyPath(localPath);
  if (!platform::openBinaryFile(temporary, platform::BinaryFileMode::kReplace)) {
    return Failed(HelperStatus::kLocalFile, "cannot write " + temporary);
  }
  StepResult read = phone.readFile(phonePath, temporary);
  if (!read.ok()) {
    platform::removeFile(temporary);
    return read;
  }
  const std::optional<std::uint64_t> arrived = platform::regularFileSize(temporary);
  if (!arrived) {
    platform::removeFile(temporary);
    return Failed(HelperStatus::kLocalFile, "the copy of " + phonePath + " did not arrive in " + temporary);
  }
  if (*arrived != size) {
    platform::removeFile(temporary);
    return Failed(HelperStatus::kIncompleteCopy,
                  "the copy of " + phonePath + " is incomplete: " + bytes(*arrived) + " arrived, the phone's file has " +
                      bytes(size) + ". No copy was kept; keep the phone connected and unlocked and try again.");
  }
  if (!platform::replaceFile(temporary, localPath)) {
    platform::removeFile(temporary);
    return Failed(HelperStatus::kLocalFile, "cannot put the copy in place at " + localPath);
  }
  return Succeeded();
}

}  // namespace

StepResult RunShellStep(PhoneFiles& phone, const std::string& phonePath) {
  StepResult result = phone.connect(true);
  if (!result.ok()) return result;
  std::uint64_t size = 0;
  result = phone.statFile(phonePath, size);
  if (!result.ok()) return result;
  return Succeeded(phonePath + " can be read (" + bytes(size) + ") through " + phone.describeAccess());
}

StepResult RunPullStep(PhoneFiles& phone, const std::string& phonePath, const std::string& localPath) {
  StepResult result = phone.connect(false);
  if (!result.ok()) return result;
  std::uint64_t size = 0;
  result = phone.statFile(phonePath, size);
  if (!result.ok()) return result;
  result = copyFile(phone, phonePath, size, localPath);
  if (!result.ok()) return result;

  std::string done = "copied " + phonePath + " (" + bytes(size) + ")";
  std::string problems;
  for (const char* suffix : kSideFileSuffixes) {
    const std::string localSide = localPath + suffix;
    std::uint64_t sideSize = 0;
    StepResult side = phone.statFile(phonePath + suffix, sideSize);
    if (side.status == HelperStatus::kFileMissing) {
      platform::removeFile(localSide);
      continue;
    }
    if (side.ok()) side = copyFile(phone, phonePath + suffix, sideSize, localSide);
    if (side.ok()) {
      done += std::string(" with its ") + suffix + " (" + bytes(sideSize) + ")";
    } else {
      platform::removeFile(localSide);
      problems += (problems.empty() ? "" : "; ") + side.message;
    }
  }
  done += " to " + localPath + " through " + phone.describeAccess();
  if (!problems.empty()) {
    return Failed(HelperStatus::kIncompleteCopy,
                  done + ", but not all of its side files, so the copy lacks the latest changes: " + problems);
  }
  return Succeeded(done);
}

}  // namespace adbhelper
