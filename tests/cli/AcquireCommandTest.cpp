// `zephyrloom-rescue acquire` against the real helper and a fake adb: old
// copies survive a failed acquisition, only the copies made are named, and
// a phone that cannot be reached stops the steps at the first.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli/AcquireCommand.h"
#include "phone/Acquisition.h"
#include "platform/FileOperations.h"
#include "tests/support/TestPrograms.h"
#include "tests/support/TempDir.h"

namespace cli {
namespace {

using namespace testing_support;
using platform::joinPath;

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::size_t count(const std::string& text, const std::string& part) {
  std::size_t found = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++found;
  return found;
}

// The helper with a fake adb beside it, and an output folder that already
// holds copies from an earlier acquisition.
class AcquireRun : public ::testing::Test {
 protected:
  void SetUp() override {
    helperFolder_ = joinPath(dir_.path(), "helper");
    out_ = joinPath(dir_.path(), "copies");
    installProgram(helperProgram(), helperFolder_, phone::kHelperBaseName);
    installProgram(fakeAdbProgram(), helperFolder_, "adb");
    const phone::CopyPaths copies = phone::CopyPathsIn(out_);
    oldFiles_ = {{copies.contacts, "old contacts"},
                 {copies.contacts + "-wal", "old contacts wal"},
                 {copies.sms, "old sms"},
                 {copies.sms + "-journal", "old sms journal"}};
    for (const auto& [path, bytes] : oldFiles_) writeBytes(path, bytes);
  }
  void configure(const std::string& conf) { writeBytes(joinPath(helperFolder_, "fake-adb.conf"), conf); }
  void addPhoneFile(const std::string& phonePath, const std::string& bytes) {
    writeBytes(joinPath(helperFolder_, "fake-phone") + phonePath, bytes);
  }
  int acquire() {
    std::ostringstream out;
    std::ostringstream err;
    const int status = runAcquire({"--out", out_, "--helper", helperFolder_}, out, err);
    stdout_ = out.str();
    stderr_ = err.str();
    return status;
  }
  std::string adbCalls() const { return readBytes(joinPath(helperFolder_, "fake-adb.log")); }
  void expectOldCopiesUnchanged() const {
    for (const auto& [path, bytes] : oldFiles_) EXPECT_EQ(readBytes(path), bytes) << path;
  }
  std::vector<std::string> entriesOfOut() const {
    std::vector<std::string> names;
    for (const char* name : {"Zephyrloom", "zephyrloom-phone-rescue", "zephyrloom-incoming", "demo-helper"}) {
      if (platform::isDirectory(joinPath(out_, name))) names.push_back(name);
    }
    return names;
  }

  testing_support::TempDir dir_;
  std::string helperFolder_;
  std::string out_;
  std::vector<std::pair<std::string, std::string>> oldFiles_;
  std::string stdout_;
  std::string stderr_;
};

TEST_F(AcquireRun, AnUnpluggedOrUnauthorisedPhoneLeavesTheOldCopiesAndStopsAtTheFirstStep) {
  for (const char* conf : {"mode=no-device\n", "mode=unauthorized\n"}) {
    SCOPED_TRACE(conf);
    configure(conf);
    writeBytes(joinPath(helperFolder_, "fake-adb.log"), "");
    EXPECT_EQ(acquire(), 1);
    expectOldCopiesUnchanged();
    EXPECT_EQ(entriesOfOut(), (std::vector<std::string>{"Zephyrloom", "zephyrloom-phone-rescue"}))
        << "the folder for the new copies goes";
    EXPECT_EQ(count(adbCalls(), "get-state"), 1u) << "one step, not four";
    EXPECT_EQ(count(stdout_, ": failed"), 1u) << stdout_;
    EXPECT_EQ(count(stderr_, "cannot be reached"), 1u) << stderr_;
    EXPECT_TRUE(has(stderr_, "no database could be copied")) << stderr_;
    EXPECT_FALSE(has(stdout_, "Copies:")) << stdout_;
  }
}

TEST_F(AcquireRun, OnlyTheCopiesMadeAreNamedAndReplaceTheirOldOnes) {
  configure("mode=rooted\n");
  addPhoneFile(phone::kPhoneSmsDb, binaryBytes(3000));
  EXPECT_EQ(acquire(), 0) << stderr_;
  const phone::CopyPaths copies = phone::CopyPathsIn(out_);
  EXPECT_EQ(readBytes(copies.sms), binaryBytes(3000));
  EXPECT_FALSE(platform::isRegularFile(copies.sms + "-journal")) << "an old side file never meets a new copy";
  EXPECT_EQ(readBytes(copies.contacts), "old contacts") << "the phone had none: the old copy is not lost";
  EXPECT_EQ(readBytes(copies.contacts + "-wal"), "old contacts wal");
  EXPECT_TRUE(has(stdout_, "Copies: " + copies.sms + "\n")) << stdout_;
  EXPECT_FALSE(has(stdout_, copies.contacts)) << stdout_;
  EXPECT_TRUE(has(stderr_, "contacts2.db was not copied")) << stderr_;
  EXPECT_EQ(entriesOfOut(), (std::vector<std::string>{"Zephyrloom", "zephyrloom-phone-rescue"}));
}

TEST_F(AcquireRun, APhoneWithNeitherDatabaseMakesNoCopyAndFails) {
  configure("mode=rooted\n");
  EXPECT_EQ(acquire(), 1);
  expectOldCopiesUnchanged();
  EXPECT_TRUE(has(stderr_, "contacts2.db was not copied")) << stderr_;
  EXPECT_TRUE(has(stderr_, "mmssms.db was not copied")) << stderr_;
  EXPECT_EQ(count(adbCalls(), "get-state"), 4u) << "a missing file concerns its own steps only";
}

TEST_F(AcquireRun, BothDatabasesReplaceTheOldCopies) {
  configure("mode=rooted\n");
  addPhoneFile(phone::kPhoneSmsDb, "new sms");
  addPhoneFile(phone::kPhoneContactsDb, "new contacts");
  addPhoneFile(std::string(phone::kPhoneContactsDb) + "-wal", "new contacts wal");
  EXPECT_EQ(acquire(), 0) << stderr_;
  const phone::CopyPaths copies = phone::CopyPathsIn(out_);
  EXPECT_EQ(readBytes(copies.contacts), "new contacts");
  EXPECT_EQ(readBytes(copies.contacts + "-wal"), "new contacts wal");
  EXPECT_EQ(readBytes(copies.sms), "new sms");
  EXPECT_TRUE(has(stdout_, "Copies: " + copies.contacts + "\n        " + copies.sms + "\n")) << stdout_;
}

}  // namespace
}  // namespace cli
