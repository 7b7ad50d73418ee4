#pragma once
// Generates the large phone databases the benchmark carves.

#include <cstdint>
#include <string>

namespace bench {

// An mmssms.db of about `targetBytes` with a tenth of its messages deleted,
// scattered over the table. Returns the number of messages deleted. With a
// `truthPath`, writes there the address and body of each deleted message,
// one "address<TAB>body" line each.
std::int64_t makeSmsDatabase(const std::string& path, std::uint64_t targetBytes,
                             const std::string& truthPath = std::string());

// A contacts2.db with `liveRows` live data rows and `deletedRows` deleted
// ones, in contacts of three rows (name, number, e-mail).
void makeContactsDatabase(const std::string& path, int liveRows, int deletedRows);

// A phone as the live-record reader sees it, for the pipeline: contacts of
// three data rows (name, phone, e-mail) with their raw contacts...
void makePhoneContacts(const std::string& path, int contacts);
// ... and `messages` messages over `threads` conversations, one in 50
// deleted.
void makePhoneSms(const std::string& path, int messages, int threads);

}  // namespace bench
