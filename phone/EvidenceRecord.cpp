#include "phone/EvidenceRecord.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "platform/CommandLine.h"
#include "platform/FileOperations.h"
#include "platform/LocalTime.h"
#include "platform/NewFile.h"
#include "platform/Process.h"
#include "platform/Sha256.h"
#include "platform/TextEncoding.h"

namespace phone {

const char* const kEvidenceFileName = "zephyrloom-evidence.txt";

namespace {

constexpr char kTitle[] = "Zephyrloom Phone SMS + Contacts Rescue: record of an acquisition";
// A record holds two databases with two side files each; a longer text is
// not one of ours.
constexpr std::size_t kMaxRecordBytes = 64 * 1024;

std::string trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t\r");
  return std::string(text.substr(first, last - first + 1));
}

// A fact as one line of the record: no line break can cut it.
std::string oneLine(const std::string& text) {
  std::string line = text;
  std::replace_if(line.begin(), line.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
  return line;
}

// The copy's name relative to the record's folder: its folder and its name.
std::string nameInRecord(const std::string& path) {
  return platform::fileNameOf(platform::parentFolder(path)) + "/" + platform::fileNameOf(path);
}

// A copy and the side files beside it that exist.
std::vector<std::string> filesOf(const std::string& copy) {
  std::vector<std::string> files;
  if (copy.empty()) return files;  // not acquired this time
  if (platform::isRegularFile(copy)) files.push_back(copy);
  for (const char* suffix : kCopySideFileSuffixes) {
    if (platform::isRegularFile(copy + suffix)) files.push_back(copy + suffix);
  }
  return files;
}

bool isHexDigest(const std::string& text) {
  return text.size() == 64 && std::all_of(text.begin(), text.end(), [](char c) {
           return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
         });
}

}  // namespace

DeviceFacts ParseDeviceFacts(std::string_view output) {
  DeviceFacts facts;
  std::istringstream lines{std::string(output)};
  for (std::string line; std::getline(lines, line);) {
    const auto close = line.find("]: [");
    if (line.empty() || line[0] != '[' || close == std::string::npos) continue;
    const std::string key = line.substr(1, close - 1);
    std::string value = trimmed(std::string_view(line).substr(close + 4));
    if (!value.empty() && value.back() == ']') value.pop_back();
    if (key == "ro.product.model") facts.model = value;
    if (key == "ro.build.version.release") facts.androidVersion = value;
    if (key == "ro.serialno") facts.serial = value;
  }
  return facts;
}

DeviceFacts AskDeviceFacts(const std::string& helperFolder) {
  const std::string helper = platform::QuoteProgramPath(platform::joinPath(helperFolder, HelperFileName()));
  platform::ProcessOptions options;
  options.timeLimit = kShellStepLimit;
  options.hidden = true;
  options.captureOutput = true;
  const platform::ProcessResult result = platform::RunProcess(helper + " shell getprop", options);
  if (!result.started || result.exitCode != 0) return {};
  return ParseDeviceFacts(result.output);
}

std::optional<EvidenceRecord> RecordCopies(const CopyPaths& copies, const DeviceFacts& facts, std::int64_t now,
                                           std::string& problem) {
  EvidenceRecord record;
  record.acquired = platform::Iso8601LocalTime(now);
  record.device = facts;
  for (const std::string* copy : {&copies.contacts, &copies.sms}) {
    for (const std::string& file : filesOf(*copy)) {
      const std::optional<platform::FileDigest> digest = platform::Sha256OfFile(file, problem);
      if (!digest) return std::nullopt;
      record.files.push_back(EvidenceFile{nameInRecord(file), digest->size, digest->sha256});
    }
  }
  return record;
}

std::string EvidenceText(const EvidenceRecord& record) {
  std::string text = std::string(kTitle) + "\n";
  text += "acquired: " + oneLine(record.acquired) + "\n";
  text += "model: " + oneLine(record.device.model) + "\n";
  text += "android: " + oneLine(record.device.androidVersion) + "\n";
  text += "serial: " + oneLine(record.device.serial) + "\n";
  for (const EvidenceFile& file : record.files) {
    text += "file: " + oneLine(file.name) + "\n";
    text += "  size: " + std::to_string(file.size) + "\n";
    text += "  sha256: " + file.sha256 + "\n";
  }
  return text;
}

std::optional<EvidenceRecord> ParseEvidence(std::string_view text, std::string& problem) {
  if (text.size() > kMaxRecordBytes || text.substr(0, sizeof kTitle - 1) != kTitle) {
    problem = "it is not a record of an acquisition";
    return std::nullopt;
  }
  EvidenceRecord record;
  std::istringstream lines{std::string(text)};
  for (std::string line; std::getline(lines, line);) {
    const auto colon = line.find(':');
    if (colon == std::string::npos) continue;
    const std::string key = trimmed(std::string_view(line).substr(0, colon));
    const std::string value = trimmed(std::string_view(line).substr(colon + 1));
    if (key == "acquired") record.acquired = value;
    if (key == "model") record.device.model = value;
    if (key == "android") record.device.androidVersion = value;
    if (key == "serial") record.device.serial = value;
    if (key == "file") record.files.push_back(EvidenceFile{value, 0, {}});
    if (key == "size" && !record.files.empty()) {
      record.files.back().size = std::strtoull(value.c_str(), nullptr, 10);
    }
    if (key == "sha256" && !record.files.empty()) record.files.back().sha256 = value;
  }
  for (const EvidenceFile& file : record.files) {
    if (!isHexDigest(file.sha256)) {
      problem = "the entry of " + file.name + " has no SHA-256";
      return std::nullopt;
    }
  }
  return record;
}

std::string EvidencePathIn(const std::string& base) { return platform::joinPath(base, kEvidenceFileName); }

std::string EvidencePathFor(const std::string& copyPath) {
  return EvidencePathIn(platform::parentFolder(platform::parentFolder(copyPath)));
}

bool WriteEvidence(const std::string& base, const EvidenceRecord& record, std::string& problem) {
  const std::string path = EvidencePathIn(base);
  const std::string partial = path + ".part";
  platform::removeFile(partial);  // left by an earlier run that was cut short
  platform::NewFile out;
  if (!out.create(platform::utf16FromNarrow(partial)) || !out.write(EvidenceText(record)) || !out.close()) {
    problem = "cannot write " + partial + ": " + out.error();
    platform::removeFile(partial);
    return false;
  }
  if (!platform::replaceFile(partial, path)) {
    platform::removeFile(partial);
    problem = "cannot put " + path + " in place";
    return false;
  }
  return true;
}

std::vector<std::string> CheckCopy(const EvidenceRecord& record, const std::string& copy) {
  std::vector<std::string> differences;
  const auto entryOf = [&record](const std::string& name) -> const EvidenceFile* {
    for (const EvidenceFile& file : record.files) {
      if (file.name == name) return &file;
    }
    return nullptr;
  };
  std::vector<std::string> names{nameInRecord(copy)};
  for (const char* suffix : kCopySideFileSuffixes) names.push_back(nameInRecord(copy + suffix));
  for (std::size_t k = 0; k < names.size(); ++k) {
    const std::string path = k == 0 ? copy : copy + kCopySideFileSuffixes[k - 1];
    const EvidenceFile* entry = entryOf(names[k]);
    const bool present = platform::isRegularFile(path);
    if (entry == nullptr) {
      if (present) differences.push_back(path + " is not in the record of the acquisition: it came later");
      continue;
    }
    if (!present) {
      differences.push_back(path + " is missing; it was acquired with " + std::to_string(entry->size) + " bytes");
      continue;
    }
    std::string problem;
    const std::optional<platform::FileDigest> digest = platform::Sha256OfFile(path, problem);
    if (!digest) {
      differences.push_back(problem);
    } else if (digest->size != entry->size || digest->sha256 != entry->sha256) {
      differences.push_back(path + " changed since it was acquired (now " + std::to_string(digest->size) +
                            " bytes, SHA-256 " + digest->sha256 + "; acquired " + std::to_string(entry->size) +
                            " bytes, SHA-256 " + entry->sha256 + ")");
    }
  }
  return differences;
}

}  // namespace phone
