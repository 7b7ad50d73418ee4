// Times the scan (counting and loading) and a full export on a large phone,
// then on one twice as large: the growth should stay linear.
//
//   pipeline_bench [--contacts N] [--messages N] [--threads N] [--dir DIR]
//                  [--format text|csv|html] [--once]
//
// Defaults: 20,000 contacts (60,000 data rows), 200,000 messages in 2,000
// threads, exported as text; the doubled phone has twice of each. --once
// leaves the doubled phone out; the export of the last phone stays in
// DIR/export.

#include <sqlite3.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>

#include "bench/BenchDatabases.h"
#include "engine/SqliteParse.h"
#include "phone/PhoneRecords.h"
#include "phone/ScanWorkflow.h"
#include "platform/ManualResetEvent.h"
#include "platform/TextEncoding.h"
#include "records/ExportJob.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

class NoSink : public phone::ScanSink {
 public:
  void progressPosition(int) override {}
  void categoryLoaded(const std::string&, const std::string& caption) override { last = caption; }
  std::string last;
};

double seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

struct Timing {
  double recovery, scan, exportSeconds;
  int exported;
};

Timing measure(const fs::path& dir, int contacts, int messages, int threads, const records::ExportOptions& options) {
  const fs::path contactsDb = dir / "contacts2.db";
  const fs::path smsDb = dir / "mmssms.db";
  bench::makePhoneContacts(contactsDb.string(), contacts);
  bench::makePhoneSms(smsDb.string(), messages, threads);

  Timing timing{};
  auto start = Clock::now();
  std::string deletedContacts, deletedMessages;
  {
    SqliteParse contactsSession(contactsDb.string(), smsDb.string());
    contactsSession.startParse(eContacts);
    deletedContacts = contactsSession.get_contacts_mem();
    SqliteParse smsSession(contactsDb.string(), smsDb.string());
    smsSession.startParse(eSms);
    deletedMessages = smsSession.get_contacts_mem();
  }
  timing.recovery = seconds(start);

  phone::PhoneRecords records;
  NoSink sink;
  platform::ManualResetEvent gate(true);
  std::atomic<int> stop{0};
  start = Clock::now();
  phone::ScanWorkflow scan(records, sink, gate, stop);
  scan.setCopies(contactsDb.string(), smsDb.string());
  scan.setRecoveredTexts(deletedContacts, deletedMessages);
  scan.ScanThreadProc();
  timing.scan = seconds(start);

  start = Clock::now();
  const records::ExportRecords exportRecords = records::ExportRecordsOf(records, deletedContacts, deletedMessages);
  records::ExportCategory contactsCategory{u"Contacts", true, true};
  records::ExportCategory messagesCategory{u"Message", true, true};
  records::ExportState state(gate, stop);
  const std::int32_t checked = records::CountCheckedRecords(exportRecords, contactsCategory, messagesCategory);
  fs::remove_all(dir / "export");
  fs::create_directories(dir / "export");
  records::PrepareExport(state, checked, platform::utf16FromNarrow((dir / "export").string()), std::time(nullptr));
  timing.exported = records::RunExport(exportRecords, contactsCategory, messagesCategory, state, options);
  timing.exportSeconds = seconds(start);
  return timing;
}

}  // namespace

int main(int argc, char** argv) {
  int contacts = 20000, messages = 200000, threads = 2000;
  std::string dir = "build/bench-data/pipeline";
  bool once = false;
  records::ExportOptions options;
  for (int k = 1; k < argc; ++k) {
    const std::string name = argv[k];
    if (name == "--once") {
      once = true;
      continue;
    }
    if (k + 1 >= argc) break;
    const char* value = argv[++k];
    if (name == "--contacts") contacts = std::atoi(value);
    else if (name == "--messages") messages = std::atoi(value);
    else if (name == "--threads") threads = std::atoi(value);
    else if (name == "--dir") dir = value;
    else if (name == "--format" && !records::ExportFormatNamed(value, options.format)) {
      std::fprintf(stderr, "pipeline_bench: unknown format %s\n", value);
      return 2;
    }
  }
  fs::create_directories(dir);
  const auto report = [](const char* label, const Timing& t) {
    std::printf("%-8s recovery %6.3f s  scan %6.3f s  export %6.3f s  (%d records exported)  scan+export %6.3f s\n",
                label, t.recovery, t.scan, t.exportSeconds, t.exported, t.scan + t.exportSeconds);
  };
  const Timing single = measure(dir, contacts, messages, threads, options);
  report("phone", single);
  if (once) return 0;
  const Timing doubled = measure(dir, 2 * contacts, 2 * messages, 2 * threads, options);
  report("doubled", doubled);
  std::printf("growth   scan x%.2f  export x%.2f  scan+export x%.2f\n", doubled.scan / single.scan,
              doubled.exportSeconds / single.exportSeconds,
              (doubled.scan + doubled.exportSeconds) / (single.scan + single.exportSeconds));
  return 0;
}
