// `export` into bad destinations (POSIX only: mounts, file-size limits,
// signals): every failure is said, exits non-zero, never reads as a
// finished export, and leaves no partial export looking complete.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "cli/ExportCommand.h"
#include "platform/InterruptSignal.h"
#include "platform/LocalTime.h"
#include "records/ExportJob.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestDatabase.h"

using testing_support::TempDir;
namespace fs = std::filesystem;

namespace {

// The program's outcome: exit status, standard output and error.
struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

std::string text(const std::string& path) {
  const auto bytes = testing_support::readFile(path);
  return std::string(bytes.begin(), bytes.end());
}

// Runs `export` of the demo phone into `outFolder`.
Outcome exportDemo(const TempDir& dir, const std::string& outFolder) {
  const std::string outPath = dir.file("stdout.txt");
  const std::string errPath = dir.file("stderr.txt");
  const pid_t child = ::fork();
  if (child == 0) {
    if (!std::freopen(outPath.c_str(), "w", stdout) || !std::freopen(errPath.c_str(), "w", stderr)) ::_exit(99);
    const std::string contacts = std::string(ZR_SOURCE_DIR) + "/demo/contacts2.db";
    const std::string sms = std::string(ZR_SOURCE_DIR) + "/demo/mmssms.db";
    ::execl(ZR_CLI_PATH, ZR_CLI_PATH, "export", contacts.c_str(), sms.c_str(), "--out", outFolder.c_str(),
            static_cast<char*>(nullptr));
    ::_exit(98);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  Outcome outcome;
  outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  outcome.out = text(outPath);
  outcome.err = text(errPath);
  return outcome;
}

// The one export root made in `folder`, or an empty path.
fs::path onlyRootIn(const fs::path& folder) {
  fs::path root;
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (!root.empty()) return fs::path();
    root = entry.path();
  }
  return root;
}

void expectFailureSaid(const Outcome& outcome) {
  EXPECT_EQ(outcome.status, 1) << outcome.err;
  EXPECT_EQ(outcome.out.find("Recovering finished"), std::string::npos) << outcome.out;
  EXPECT_EQ(outcome.out.find("Exported"), std::string::npos) << outcome.out;
}

// A tmpfs mounted for one test; mounted() is false where mounting is refused.
class Mount {
 public:
  Mount(const std::string& at, const char* options) : at_(at) {
    fs::create_directories(at);
    mounted_ = ::mount("tmpfs", at.c_str(), "tmpfs", 0, options) == 0;
  }
  ~Mount() {
    if (mounted_) ::umount(at_.c_str());
  }
  bool mounted() const { return mounted_; }
  void makeReadOnly() { mounted_ = ::mount("tmpfs", at_.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) == 0; }

 private:
  std::string at_;
  bool mounted_ = false;
};

}  // namespace

TEST(ExportDestination, WholeExportSaysItsTrueNumbers) {
  TempDir dir;
  const Outcome outcome = exportDemo(dir, dir.file("out"));
  ASSERT_EQ(outcome.status, 0) << outcome.err;
  // 50 contacts (ten deleted) and 298 messages (35 deleted) in one contacts
  // file and a file per conversation.
  const fs::path root = onlyRootIn(dir.file("out"));
  int files = 0;
  for (const auto& entry : fs::recursive_directory_iterator(root)) files += entry.is_regular_file() ? 1 : 0;
  EXPECT_NE(outcome.out.find("Exported 50 contacts and 298 messages in " + std::to_string(files) + " files to " +
                             root.string()),
            std::string::npos)
      << outcome.out;
  EXPECT_FALSE(fs::exists(root / records::kIncompleteMarkerName));
}

// The copies are read first (their private working copies are larger than
// any export file), then the export runs under a file-size limit in a child.
TEST(ExportDestination, FileSizeLimitStopsTheExportAndMarksIt) {
  TempDir dir;
  const pid_t child = ::fork();
  if (child == 0) {
    std::ostringstream progress, out, err;
    cli::PhoneScan scan(std::string(ZR_SOURCE_DIR) + "/demo/contacts2.db",
                        std::string(ZR_SOURCE_DIR) + "/demo/mmssms.db", progress);
    const cli::ScanSummary summary = scan.run();
    const rlimit limit{1200, 1200};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, SIG_IGN);
    const int status = cli::ExportScan(scan, summary, dir.file("out"), "", out, err);
    const rlimit none{RLIM_INFINITY, RLIM_INFINITY};
    ::setrlimit(RLIMIT_FSIZE, &none);
    std::ofstream(dir.file("stdout.txt")) << out.str();
    std::ofstream(dir.file("stderr.txt")) << err.str();
    ::_exit(status);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  Outcome outcome;
  outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  outcome.out = text(dir.file("stdout.txt"));
  outcome.err = text(dir.file("stderr.txt"));
  expectFailureSaid(outcome);
  EXPECT_NE(outcome.err.find("cannot write "), std::string::npos) << outcome.err;
  EXPECT_NE(outcome.err.find("File too large"), std::string::npos) << outcome.err;
  const fs::path root = onlyRootIn(dir.file("out"));
  ASSERT_FALSE(root.empty());
  EXPECT_TRUE(fs::exists(root / records::kIncompleteMarkerName)) << outcome.err;
}

TEST(ExportDestination, ReadOnlyOrFullDiskIsSaid) {
  TempDir dir;
  {
    Mount full(dir.file("full"), "size=16k");
    if (!full.mounted()) GTEST_SKIP() << "no tmpfs can be mounted here";
    const Outcome outcome = exportDemo(dir, dir.file("full"));
    expectFailureSaid(outcome);
    EXPECT_NE(outcome.err.find("No space left on device"), std::string::npos) << outcome.err;
    // Either marked or, when even the marker did not fit, removed.
    const fs::path root = onlyRootIn(dir.file("full"));
    EXPECT_TRUE(root.empty() || fs::exists(root / records::kIncompleteMarkerName)) << outcome.err;
  }
  Mount readOnly(dir.file("ro"), "size=1m");
  readOnly.makeReadOnly();
  ASSERT_TRUE(readOnly.mounted());
  const Outcome outcome = exportDemo(dir, dir.file("ro"));
  expectFailureSaid(outcome);
  EXPECT_NE(outcome.err.find("cannot create the export folder"), std::string::npos) << outcome.err;
  EXPECT_NE(outcome.err.find("Read-only file system"), std::string::npos) << outcome.err;
}

TEST(ExportDestination, ProcSelfAndATakenRootName) {
  TempDir dir;
  expectFailureSaid(exportDemo(dir, "/proc/self"));

  // The root names of the coming minute are taken by files: the export makes
  // its own root beside them and leaves them as they were.
  const std::time_t now = std::time(nullptr);
  fs::create_directories(dir.file("out"));
  for (std::time_t second = now; second < now + 60; ++second) {
    std::tm local{};
    ASSERT_TRUE(platform::localTimeOf(second, local));
    std::ofstream(fs::path(records::ExportRootOf(fs::path(dir.file("out")).u16string(), local))) << "mine";
  }
  const Outcome outcome = exportDemo(dir, dir.file("out"));
  ASSERT_EQ(outcome.status, 0) << outcome.err;
  int roots = 0;
  for (const auto& entry : fs::directory_iterator(dir.file("out"))) {
    if (entry.is_directory()) {
      ++roots;
      EXPECT_NE(entry.path().string().find(" (2)"), std::string::npos) << entry.path();
    } else {
      EXPECT_EQ(text(entry.path().string()), "mine");
    }
  }
  EXPECT_EQ(roots, 1);
}

TEST(ExportDestination, InterruptSetsTheStopFlagInsteadOfEndingTheProgram) {
  std::atomic<int> stop{0};
  {
    const platform::InterruptGuard guard(stop);
    EXPECT_FALSE(platform::InterruptGuard::interrupted());
    std::raise(SIGTERM);
    EXPECT_EQ(stop.load(), 1);
    stop.store(0);
    std::raise(SIGINT);
    EXPECT_EQ(stop.load(), 1);
    EXPECT_TRUE(platform::InterruptGuard::interrupted());
  }
  EXPECT_EQ(std::signal(SIGINT, SIG_DFL), SIG_DFL) << "the previous handler is back";
}
