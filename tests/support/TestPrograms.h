#pragma once
// What the tests of processes, the adb helper and acquisition share: the
// test programs, copies of them in a test folder, files as bytes, and
// waiting for a condition. The programs' paths come from the build
// (zr_use_test_programs in tests/CMakeLists.txt).

#include <chrono>
#include <functional>
#include <string>

namespace testing_support {

// The built programs (paths set by the build).
std::string testChildProgram();
std::string fakeAdbProgram();
std::string helperProgram();
// The demo phone's databases.
std::string demoFolder();

// Copies `program` into `folder` (made when missing) as `baseName` with the
// system's executable suffix; returns the copy's path.
std::string installProgram(const std::string& program, const std::string& folder, const std::string& baseName);

std::string readBytes(const std::string& path);
// Writes the file, making its folder when missing.
void writeBytes(const std::string& path, const std::string& bytes);

// Every byte value, line ends and ^Z included, over `size` bytes.
std::string binaryBytes(std::size_t size);

// Checks `condition` until it holds or `limit` has passed; returns its last
// value.
bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit);

}  // namespace testing_support
