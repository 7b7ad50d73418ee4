// zr-test-child: a program for the process and acquisition tests.
//
//   exit N            ends with status N
//   print TEXT        writes TEXT to standard output
//   print-error TEXT  writes TEXT to standard error
//   bytes N           writes N bytes 0, 1, ..., 255, 0, ... to standard
//                     output, unchanged, and "done" to standard error
//   args FILE ARGS    writes each of ARGS to FILE, one a line
//   hang              never ends
//   hang-pid FILE     writes its process id to FILE, then never ends
//   tree FILE         starts "hang-pid FILE" in its own process group, as
//                     the adb helper starts adb, and waits for it
//
// Copied under a name that starts with the adb helper's, it stands in for
// the helper: it appends its arguments, joined by '|', as one line to
// "calls.txt" beside itself; then, when a file "hang" lies there, it writes
// "started" beside itself and never ends; else it ends with the number in
// "exit-status" beside itself (0 when there is none).

#include <chrono>
#include <fstream>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "platform/FileOperations.h"
#include "platform/Process.h"
#include "platform/ProgramArguments.h"
#include "platform/ProgramLocation.h"
#include "platform/StandardStreams.h"
#include "platform/TextEncoding.h"
#include "platform/TextFile.h"

namespace {

[[noreturn]] void hangForever() {
  for (;;) std::this_thread::sleep_for(std::chrono::hours(1));
}

void writeText(const std::string& path, const std::string& text) {
  platform::appendToFile(platform::utf16FromNarrow(path), "", text);
}

int standInHelper(const std::vector<std::string>& args) {
  const std::string folder = platform::ProgramFolder();
  std::string line;
  for (std::size_t index = 0; index < args.size(); ++index) line += (index == 0 ? "" : "|") + args[index];
  writeText(platform::joinPath(folder, "calls.txt"), line + "\n");
  if (platform::isRegularFile(platform::joinPath(folder, "hang"))) {
    writeText(platform::joinPath(folder, "started"), "started\n");
    hangForever();
  }
  std::ifstream status(platform::joinPath(folder, "exit-status"));
  int code = 0;
  return status >> code ? code : 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args = platform::ProgramArguments(argc, argv);
  const std::string self = argc > 0 ? argv[0] : "";
  if (platform::fileNameOf(self).rfind("zephyrloom-phone-rescue-adb-help", 0) == 0) return standInHelper(args);
  const std::string mode = args.empty() ? std::string() : args[0];

  if (mode == "exit" && args.size() == 2) return std::stoi(args[1]);
  if (mode == "print" && args.size() == 2) return platform::writeStdoutBinary(args[1]) ? 0 : 1;
  if (mode == "print-error" && args.size() == 2) {
    std::cerr << args[1];
    return 0;
  }
  if (mode == "bytes" && args.size() == 2) {
    std::string bytes(static_cast<std::size_t>(std::stoul(args[1])), '\0');
    for (std::size_t index = 0; index < bytes.size(); ++index) bytes[index] = static_cast<char>(index % 256);
    const bool written = platform::writeStdoutBinary(bytes);
    std::cerr << "done";
    return written ? 0 : 1;
  }
  if (mode == "args" && args.size() >= 2) {
    std::string lines;
    for (std::size_t index = 2; index < args.size(); ++index) lines += args[index] + "\n";
    writeText(args[1], lines);
    return 0;
  }
  if (mode == "hang") hangForever();
  if (mode == "hang-pid" && args.size() == 2) {
    writeText(args[1] + ".tmp", std::to_string(platform::CurrentProcessId()));
    platform::replaceFile(args[1] + ".tmp", args[1]);
    hangForever();
  }
  if (mode == "tree" && args.size() == 2) {
    platform::ProcessOptions options;
    options.timeLimit = std::chrono::hours(1);
    options.ownGroup = false;
    platform::RunProcess({self, "hang-pid", args[1]}, options);
    return 0;
  }
  std::cerr << "zr-test-child: unknown mode '" << mode << "'\n";
  return 2;
}
