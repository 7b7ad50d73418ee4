// Times the recovery (the sessions and the deep pass), the scan (counting
// and loading, which makes the deleted records whole) and a full export on
// a large phone, then on one twice as large: the growth should stay linear.
//
//   pipeline_bench [--contacts N] [--messages N] [--threads N] [--dir DIR]
//                  [--format text|csv|html] [--once] [--carve-only]
//
// Defaults: 20,000 contacts (60,000 data rows), 200,000 messages in 2,000
// threads, exported as text; the doubled phone has twice of each. --once
// leaves the doubled phone out; --carve-only recovers by the sessions alone
// (one deleted record per line); the export of the last phone stays in
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
#include "phone/PhoneRecords.h"
#include "platform/ManualResetEvent.h"
#include "platform/TextEncoding.h"
#include "records/ExportJob.h"
#include "records/PhonePipeline.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

class NoSink : public records::PipelineSink {
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

Timing measure(const fs::path& dir, int contacts, int messages, int threads, const records::ExportOptions& options,
               bool carveOnly) {
  const fs::path contactsDb = dir / "contacts2.db";
  const fs::path smsDb = dir / "mmssms.db";
  bench::makePhoneContacts(contactsDb.string(), contacts);
  bench::makePhoneSms(smsDb.string(), messages, threads);

  phone::PhoneRecords records;
  NoSink sink;
  platform::ManualResetEvent gate(true);
  std::atomic<int> stop{0};
  records::PhonePipeline pipeline(records, sink, gate, stop);
  pipeline.setCopies(phone::CopyPaths{contactsDb.string(), smsDb.string()});
  pipeline.setDeepRecovery(!carveOnly);

  Timing timing{};
  auto start = Clock::now();
  pipeline.Recover();
  timing.recovery = seconds(start);
  start = Clock::now();
  pipeline.Scan();
  timing.scan = seconds(start);

  start = Clock::now();
  const records::ExportCategory contactsCategory = pipeline.ScannedContacts();
  const records::ExportCategory messagesCategory = pipeline.ScannedMessages();
  const std::int32_t checked = pipeline.CountChecked(contactsCategory, messagesCategory);
  fs::remove_all(dir / "export");
  fs::create_directories(dir / "export");
  pipeline.PrepareExport(checked, platform::utf16FromNarrow((dir / "export").string()), std::time(nullptr));
  pipeline.RunExport(contactsCategory, messagesCategory, options);
  timing.exported = pipeline.exportState()->contactsExported + pipeline.exportState()->messagesExported;
  timing.exportSeconds = seconds(start);
  return timing;
}

}  // namespace

int main(int argc, char** argv) {
  int contacts = 20000, messages = 200000, threads = 2000;
  std::string dir = "build/bench-data/pipeline";
  bool once = false;
  bool carveOnly = false;
  records::ExportOptions options;
  for (int k = 1; k < argc; ++k) {
    const std::string name = argv[k];
    if (name == "--once" || name == "--carve-only") {
      (name == "--once" ? once : carveOnly) = true;
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
    std::printf("%-8s recovery %6.3f s  scan %6.3f s  export %6.3f s  (%d contacts and messages exported)  scan+export %6.3f s\n",
                label, t.recovery, t.scan, t.exportSeconds, t.exported, t.scan + t.exportSeconds);
  };
  const Timing single = measure(dir, contacts, messages, threads, options, carveOnly);
  report("phone", single);
  if (once) return 0;
  const Timing doubled = measure(dir, 2 * contacts, 2 * messages, 2 * threads, options, carveOnly);
  report("doubled", doubled);
  std::printf("growth   scan x%.2f  export x%.2f  scan+export x%.2f\n", doubled.scan / single.scan,
              doubled.exportSeconds / single.exportSeconds,
              (doubled.scan + doubled.exportSeconds) / (single.scan + single.exportSeconds));
  return 0;
}
