// An adb on the PATH that is there but cannot be run (POSIX: a file without
// execute permission, a folder) is named with what is wrong with it, not
// reported as missing.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "helper/AdbPhone.h"
#include "helper/HelperProgram.h"
#include "platform/FileOperations.h"
#include "tests/support/TestPrograms.h"
#include "tests/support/TempDir.h"

namespace adbhelper {
namespace {

using namespace testing_support;
using platform::joinPath;

// Sets PATH for the life of the object.
class PathSetting {
 public:
  explicit PathSetting(const std::string& path) {
    const char* old = std::getenv("PATH");
    hadOld_ = old != nullptr;
    if (hadOld_) old_ = old;
    ::setenv("PATH", path.c_str(), 1);
  }
  ~PathSetting() {
    if (hadOld_) {
      ::setenv("PATH", old_.c_str(), 1);
    } else {
      ::unsetenv("PATH");
    }
  }

 private:
  bool hadOld_ = false;
  std::string old_;
};

TEST(UnrunnableAdb, IsNamedWithWhatIsWrong) {
  testing_support::TempDir dir;
  const std::string helperFolder = joinPath(dir.path(), "helper");
  ASSERT_TRUE(platform::createFolders(helperFolder));
  const std::string notExecutable = joinPath(joinPath(dir.path(), "bin"), "adb");
  writeBytes(notExecutable, readBytes(fakeAdbProgram()));  // written without execute permission
  const std::string folderNamedAdb = joinPath(joinPath(dir.path(), "other"), "adb");
  ASSERT_TRUE(platform::createFolders(folderNamedAdb));

  for (const std::string& adb : {notExecutable, folderNamedAdb}) {
    SCOPED_TRACE(adb);
    const PathSetting path(platform::parentFolder(adb) + ":" + joinPath(dir.path(), "empty"));
    const PhoneLocation location = LocatePhone(helperFolder);
    ASSERT_EQ(location.kind, PhoneLocation::Kind::kAdb) << "not 'cannot find adb'";
    EXPECT_EQ(location.path, adb);
    AdbPhone phone(location.path);
    const StepResult result = phone.connect(false);
    EXPECT_EQ(result.status, HelperStatus::kNoAdb);
    EXPECT_NE(result.message.find("cannot run adb (" + adb + "): "), std::string::npos) << result.message;
    EXPECT_NE(result.message.find("Permission denied"), std::string::npos) << result.message;
  }

  const PathSetting nothing(joinPath(dir.path(), "empty"));
  EXPECT_EQ(LocatePhone(helperFolder).kind, PhoneLocation::Kind::kNone);
}

}  // namespace
}  // namespace adbhelper
