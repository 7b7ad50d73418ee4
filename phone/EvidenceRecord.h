#pragma once
// The record of an acquisition: which phone the copies came from, when, and
// the size and SHA-256 of every file pulled (each database with the -wal or
// -journal that came with it). It lies beside the copies, in the folder
// that holds their two folders, as "zephyrloom-evidence.txt":
//
//   Zephyrloom Phone SMS + Contacts Rescue: record of an acquisition
//   acquired: 2026-12-08T09:15:00+01:00
//   model: Pixel 4a
//   android: 13
//   serial: 0A1B2C3D
//   file: Zephyrloom/contacts2.db
//     size: 299008
//     sha256: 5f3c...
//
// Before the copies are read they are checked against it: a copy that
// changed, went missing or gained a side file since is refused.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "phone/Acquisition.h"

namespace phone {

extern const char* const kEvidenceFileName;  // "zephyrloom-evidence.txt"

// What the phone says of itself; a fact it does not give stays empty.
struct DeviceFacts {
  std::string model;
  std::string androidVersion;
  std::string serial;
};

// Asks the helper in `helperFolder` for the phone's facts (one run, limited
// like a shell step); empty facts when it cannot say.
DeviceFacts AskDeviceFacts(const std::string& helperFolder);
// The facts in the helper's getprop lines ("[ro.product.model]: [Pixel]").
DeviceFacts ParseDeviceFacts(std::string_view getpropOutput);

struct EvidenceFile {
  std::string name;  // relative to the record's folder, with "/"
  std::uint64_t size = 0;
  std::string sha256;
};

struct EvidenceRecord {
  std::string acquired;  // ISO 8601 local time with offset
  DeviceFacts device;
  std::vector<EvidenceFile> files;
};

// The record of the copies that exist (each with its side files) at `now`
// (seconds since 1970). Nothing, with `problem`, when a copy cannot be read.
std::optional<EvidenceRecord> RecordCopies(const CopyPaths& copies, const DeviceFacts& facts, std::int64_t now,
                                           std::string& problem);

std::string EvidenceText(const EvidenceRecord& record);
// Nothing, with `problem`, for a text that is not such a record.
std::optional<EvidenceRecord> ParseEvidence(std::string_view text, std::string& problem);

// Writes the record into `base` (replacing an older one); false, with
// `problem`, when it cannot.
bool WriteEvidence(const std::string& base, const EvidenceRecord& record, std::string& problem);

// The record's path for copies in `base`, and for one copy (in the folder
// above the copy's own).
std::string EvidencePathIn(const std::string& base);
std::string EvidencePathFor(const std::string& copyPath);

// Checks `copy` and its side files against the record: each difference as
// a sentence; none when they are as acquired.
std::vector<std::string> CheckCopy(const EvidenceRecord& record, const std::string& copy);

}  // namespace phone
