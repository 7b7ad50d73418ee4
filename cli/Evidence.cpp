#include "cli/Evidence.h"

#include <cstdio>
#include <ctime>

#include "phone/EvidenceRecord.h"
#include "platform/BinaryFile.h"
#include "platform/FileOperations.h"

namespace cli {

namespace {

// A record is a few hundred bytes; anything longer than this is not one.
constexpr std::size_t kReadLimit = 64 * 1024 + 1;

std::optional<std::string> readSmallFile(const std::string& path) {
  const platform::BinaryFile in = platform::openBinaryFile(path, platform::BinaryFileMode::kRead);
  if (!in) return std::nullopt;
  std::string text(kReadLimit, '\0');
  text.resize(std::fread(text.data(), 1, text.size(), in.get()));
  if (std::ferror(in.get())) return std::nullopt;
  return text;
}

}  // namespace

bool RecordAcquisition(const std::string& folder, const phone::CopyPaths& made, const std::string& helperFolder,
                       std::ostream& out, std::ostream& err) {
  const phone::DeviceFacts facts = phone::AskDeviceFacts(helperFolder);
  std::string problem;
  const std::optional<phone::EvidenceRecord> record =
      phone::RecordCopies(made, facts, static_cast<std::int64_t>(std::time(nullptr)), problem);
  if (!record || !phone::WriteEvidence(folder, *record, problem)) {
    err << "zephyrloom-rescue: the record of the acquisition cannot be made: " << problem << "\n";
    return false;
  }
  out << "Record of the acquisition (" << phone::EvidencePathIn(folder) << "):\n" << phone::EvidenceText(*record);
  return true;
}

bool CheckAgainstRecord(const std::string& contacts, const std::string& sms,
                        const std::optional<std::string>& recordPath, const std::string& command, std::ostream& err,
                        std::string& recordText) {
  recordText.clear();
  std::string path = recordPath.value_or(phone::EvidencePathFor(contacts));
  if (!recordPath && !platform::isRegularFile(path)) path = phone::EvidencePathFor(sms);
  if (!recordPath && !platform::isRegularFile(path)) return true;  // copies from elsewhere: nothing to check
  const std::optional<std::string> text = readSmallFile(path);
  std::string problem = "it cannot be read";
  const std::optional<phone::EvidenceRecord> record =
      text ? phone::ParseEvidence(*text, problem) : std::optional<phone::EvidenceRecord>();
  if (!record) {
    err << "zephyrloom-rescue " << command << ": the record of the acquisition " << path << " is not usable: "
        << problem << "; the copies are not read\n";
    return false;
  }
  bool same = true;
  for (const std::string* copy : {&contacts, &sms}) {
    for (const std::string& difference : phone::CheckCopy(*record, *copy)) {
      err << "zephyrloom-rescue " << command << ": " << difference << "\n";
      same = false;
    }
  }
  if (!same) {
    err << "zephyrloom-rescue " << command << ": the copies are not as " << path
        << " records them; they are not read\n";
    return false;
  }
  recordText = *text;
  return true;
}

}  // namespace cli
