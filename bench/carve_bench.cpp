// Times a recovery session, and the session followed by the deep pass,
// against the floor of reading the file once and against SQLite reading the
// table, on a generated phone database of a given size; reports the peak
// memory of each and how many of the deleted messages come back.
//
//   carve_bench [--size-mib N] [--dir DIR] [--contacts-live N] [--contacts-deleted N] [--cold 1]
//
// By default every timing starts with the file in the page cache. With
// --cold 1 (root only) the cache is dropped before each timing instead, as
// for a copy that was just pulled and is read from disk.

#include <sqlite3.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <set>

#include "bench/BenchDatabases.h"
#include "deep/DeepRecovery.h"
#include "engine/SqliteParse.h"

namespace {

struct Options {
  std::uint64_t sizeMib = 1024;
  std::string dir = "build/bench-data";
  int contactsLive = 50000;
  int contactsDeleted = 20000;
  bool cold = false;
};

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

Options parse(int argc, char** argv) {
  Options options;
  for (int k = 1; k + 1 < argc; k += 2) {
    const std::string name = argv[k];
    const std::string value = argv[k + 1];
    if (name == "--size-mib") options.sizeMib = std::stoull(value);
    else if (name == "--dir") options.dir = value;
    else if (name == "--contacts-live") options.contactsLive = std::stoi(value);
    else if (name == "--contacts-deleted") options.contactsDeleted = std::stoi(value);
    else if (name == "--cold") options.cold = value != "0";
    else {
      std::fprintf(stderr, "carve_bench: unknown option %s\n", name.c_str());
      std::exit(2);
    }
  }
  return options;
}

// Reuses generated files when the same parameters made them.
bool upToDate(const std::string& marker, const std::string& stamp) {
  std::ifstream in(marker);
  std::string seen;
  std::getline(in, seen);
  return seen == stamp;
}

void writeStamp(const std::string& marker, const std::string& stamp) { std::ofstream(marker) << stamp << "\n"; }

// Empties the page cache (needs root); false when the system refuses.
bool dropPageCache() {
  sync();
  std::ofstream control("/proc/sys/vm/drop_caches");
  control << "3\n";
  control.flush();
  return static_cast<bool>(control);
}

// Brings every timing to the same start: warm (the file cached) or cold.
void prepareCache(const Options& options, const std::string& path);

std::uint64_t readWholeFile(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return 0;
  std::vector<char> buffer(1 << 20);
  std::uint64_t total = 0;
  for (std::size_t got; (got = std::fread(buffer.data(), 1, buffer.size(), file)) > 0;) total += got;
  std::fclose(file);
  return total;
}

void prepareCache(const Options& options, const std::string& path) {
  if (!options.cold) {
    readWholeFile(path);
    return;
  }
  if (!dropPageCache()) {
    std::fprintf(stderr, "carve_bench: cannot drop the page cache (not root?)\n");
    std::exit(1);
  }
}

std::int64_t selectAllMessages(const std::string& path) {
  sqlite3* db = nullptr;
  sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  sqlite3_stmt* statement = nullptr;
  sqlite3_prepare_v2(db, "SELECT * FROM sms", -1, &statement, nullptr);
  std::int64_t rows = 0;
  std::uint64_t bytes = 0;
  while (sqlite3_step(statement) == SQLITE_ROW) {
    ++rows;
    for (int column = 0; column < sqlite3_column_count(statement); ++column) {
      sqlite3_column_text(statement, column);
      bytes += static_cast<std::uint64_t>(sqlite3_column_bytes(statement, column));
    }
  }
  sqlite3_finalize(statement);
  sqlite3_close(db);
  return bytes > 0 ? rows : 0;
}

std::string runSession(const std::string& contacts, const std::string& sms, ePaserType kind) {
  SqliteParse session(contacts, sms);
  session.startParse(kind);
  return session.get_contacts_mem();
}

// Peak resident memory (KiB) of a session run alone in a child process
// (`mode` "--session-only"), or of a session and the deep pass ("--with-deep").
long sessionPeakKib(const char* self, const char* mode, const std::string& contacts, const std::string& sms) {
  // Spawned, not forked: a forked child starts with the parent's pages,
  // texts included, and would count them as its own.
  const std::string modeArg = mode;
  char* const args[] = {const_cast<char*>(self), const_cast<char*>(modeArg.c_str()), const_cast<char*>(contacts.c_str()),
                        const_cast<char*>(sms.c_str()), nullptr};
  pid_t child = 0;
  if (posix_spawn(&child, self, nullptr, nullptr, args, environ) != 0) return -1;
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  return usage.ru_maxrss;
}

// Deleted messages (address, body) whose line came back.
std::size_t messagesFound(const std::string& truthPath, const std::string& text) {
  std::set<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end = text.find("\r\n"); end != std::string::npos; end = text.find("\r\n", start)) {
    const std::size_t tab = text.find('\t', start);
    if (tab < end) lines.insert(text.substr(tab + 1, end - tab - 1));
    start = end + 2;
  }
  std::ifstream truth(truthPath);
  std::size_t found = 0;
  for (std::string line; std::getline(truth, line);) found += lines.count(line);
  return found;
}

std::size_t lineCount(const std::string& text) {
  std::size_t lines = 0;
  for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2)) ++lines;
  return lines;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "--session-only") {
    const std::string text = runSession(argv[2], argv[3], eSms);
    return text.empty() ? 1 : 0;
  }
  if (argc == 4 && std::string(argv[1]) == "--with-deep") {
    const std::string text = deep::WithDeepLines(argv[2], argv[3], eSms, runSession(argv[2], argv[3], eSms));
    return text.empty() ? 1 : 0;
  }
  const Options options = parse(argc, argv);
  std::filesystem::create_directories(options.dir);
  const std::string contacts = options.dir + "/contacts2.db";
  const std::string sms = options.dir + "/mmssms.db";

  const std::string contactsStamp =
      "contacts " + std::to_string(options.contactsLive) + " " + std::to_string(options.contactsDeleted);
  if (!upToDate(contacts + ".stamp", contactsStamp)) {
    std::fprintf(stderr, "generating %s ...\n", contacts.c_str());
    bench::makeContactsDatabase(contacts, options.contactsLive, options.contactsDeleted);
    writeStamp(contacts + ".stamp", contactsStamp);
  }
  const std::string smsStamp = "sms " + std::to_string(options.sizeMib) + " with its list of deleted messages";
  if (!upToDate(sms + ".stamp", smsStamp)) {
    std::fprintf(stderr, "generating %s (%llu MiB) ...\n", sms.c_str(),
                 static_cast<unsigned long long>(options.sizeMib));
    bench::makeSmsDatabase(sms, options.sizeMib << 20, sms + ".deleted");
    writeStamp(sms + ".stamp", smsStamp);
  }

  // Peak memory first, while this process is small: a child starts out
  // sharing its parent's memory and counts it as its own.
  const long peakKib = sessionPeakKib(argv[0], "--session-only", contacts, sms);
  const long deepPeakKib = sessionPeakKib(argv[0], "--with-deep", contacts, sms);

  prepareCache(options, sms);
  auto start = Clock::now();
  const std::uint64_t fileBytes = readWholeFile(sms);
  const double readSeconds = secondsSince(start);

  prepareCache(options, sms);
  start = Clock::now();
  const std::int64_t liveMessages = selectAllMessages(sms);
  const double selectSeconds = secondsSince(start);

  prepareCache(options, sms);
  start = Clock::now();
  const std::string smsText = runSession(contacts, sms, eSms);
  const double smsSeconds = secondsSince(start);

  start = Clock::now();
  const std::string contactsText = runSession(contacts, sms, eContacts);
  const double contactsSeconds = secondsSince(start);

  prepareCache(options, sms);
  start = Clock::now();
  const std::string deepText = deep::RecoverDeep(contacts, sms, eSms, smsText).text();
  const double deepSeconds = secondsSince(start);

  std::size_t deletedMessages = 0;
  {
    std::ifstream truth(sms + ".deleted");
    for (std::string line; std::getline(truth, line);) ++deletedMessages;
  }
  const std::size_t foundBySession = messagesFound(sms + ".deleted", smsText);
  const std::size_t foundWithDeep = messagesFound(sms + ".deleted", smsText + deepText);

  std::printf("page cache:           %s\n", options.cold ? "dropped before each timing (cold)" : "warm");
  std::printf("SMS database:         %.1f MiB, %lld live messages\n", static_cast<double>(fileBytes) / (1 << 20),
              static_cast<long long>(liveMessages));
  std::printf("read file once:       %8.3f s  (%.0f MiB/s)\n", readSeconds,
              static_cast<double>(fileBytes) / (1 << 20) / readSeconds);
  std::printf("SELECT * FROM sms:    %8.3f s\n", selectSeconds);
  std::printf("SMS session:          %8.3f s  -> %zu lines, %zu bytes of text\n", smsSeconds, lineCount(smsText),
              smsText.size());
  std::printf("ratio session/read:   %8.2f\n", smsSeconds / readSeconds);
  std::printf("ratio session/select: %8.2f\n", smsSeconds / selectSeconds);
  std::printf("SMS session peak RSS: %8.1f MiB (file %.1f MiB, text %.1f MiB)\n", static_cast<double>(peakKib) / 1024.0,
              static_cast<double>(fileBytes) / (1 << 20), static_cast<double>(smsText.size()) / (1 << 20));
  std::printf("deep pass (SMS):      %8.3f s  -> %zu more lines\n", deepSeconds, lineCount(deepText));
  std::printf("ratio (session+deep)/read: %6.2f\n", (smsSeconds + deepSeconds) / readSeconds);
  std::printf("session + deep peak RSS:   %6.1f MiB\n", static_cast<double>(deepPeakKib) / 1024.0);
  std::printf("deleted messages back: session %zu, session + deep %zu, of %zu deleted (%.1f%%)\n", foundBySession,
              foundWithDeep, deletedMessages,
              deletedMessages == 0 ? 0.0 : 100.0 * static_cast<double>(foundWithDeep) / static_cast<double>(deletedMessages));
  std::printf("contacts session:     %8.3f s  -> %zu lines (%d live, %d deleted data rows)\n", contactsSeconds,
              lineCount(contactsText), options.contactsLive, options.contactsDeleted);
  return 0;
}
