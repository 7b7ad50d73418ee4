// fake-adb: answers like adb does for one phone, for the helper's tests.
//
// Copied as "adb" (or "adb.exe") into a test folder, it reads beside
// itself:
//   fake-adb.conf   lines "key=value": mode=rooted (su -c works), magisk
//                   (su -c works; "su 0" and "su root" drop the command and
//                   open a shell on the empty input), legacy-su ("su 0 CMD"
//                   and "su root CMD" work, no -c), adbd-root (adbd runs as
//                   root), unrooted (no su), no-device, unauthorized,
//                   offline; short-read=1 (cat delivers half the bytes);
//                   no-stat=1 (no "stat -c", as before Android 6);
//                   world-readable=1 (the shell user may read every file);
//                   hang-with-child=1 (every call starts a child, which
//                   writes its process id to child.pid, and never ends);
//                   complaint=TEXT (every call fails with "error: TEXT")
//   fake-phone/     the phone's files: fake-phone/data/... for /data/...
// and appends each call's arguments, joined by '|', to fake-adb.log.
// It understands the commands the helper sends: get-state; shell and
// exec-out with id, stat -c %s, ls -l, cat, chmod, each maybe behind su and
// followed by 2>/dev/null; pull.

#include <chrono>
#include <fstream>
#include <iostream>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "platform/FileOperations.h"
#include "platform/Process.h"
#include "platform/ProgramLocation.h"
#include "platform/StandardStreams.h"

namespace {

struct Phone {
  std::string folder;
  std::map<std::string, std::string> conf;

  bool is(const std::string& key, const std::string& value = "1") const {
    const auto found = conf.find(key);
    return found != conf.end() && found->second == value;
  }
  std::string mode() const { return conf.count("mode") != 0 ? conf.at("mode") : "rooted"; }
  std::string fileFor(const std::string& phonePath) const {
    std::string path = platform::joinPath(folder, "fake-phone");
    std::size_t start = 1;
    while (start < phonePath.size()) {
      std::size_t end = phonePath.find('/', start);
      if (end == std::string::npos) end = phonePath.size();
      path = platform::joinPath(path, phonePath.substr(start, end - start));
      start = end + 1;
    }
    return path;
  }
};

// Words of a phone shell line: blanks separate, single quotes group.
std::vector<std::string> wordsOf(const std::string& line) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false;
  bool quoted = false;
  for (const char c : line) {
    if (quoted) {
      if (c == '\'') {
        quoted = false;
      } else {
        word += c;
      }
    } else if (c == '\'') {
      quoted = true;
      inWord = true;
    } else if (c == ' ' || c == '\t') {
      if (inWord) words.push_back(word);
      word.clear();
      inWord = false;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (inWord) words.push_back(word);
  return words;
}

std::string readAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int fail(const std::string& message, int status = 1) {
  std::cerr << message << "\n";
  return status;
}

int runCommand(const Phone& phone, std::vector<std::string> words, bool root) {
  for (auto word = words.begin(); word != words.end();) {
    word = *word == "2>/dev/null" ? words.erase(word) : word + 1;
  }
  if (words.empty()) return 0;
  const std::string mode = phone.mode();
  if (words[0] == "su") {
    if (mode == "unrooted") return fail("/system/bin/sh: su: inaccessible or not found", 127);
    if (words.size() >= 3 && words[1] == "-c") {
      if (mode == "legacy-su") return fail("su: invalid uid/gid '-c'");
      return runCommand(phone, wordsOf(words[2]), true);
    }
    if (words.size() >= 2 && (words[1] == "0" || words[1] == "root")) {
      if (mode == "magisk" || mode == "rooted") return 0;  // a root shell on the empty input
      return runCommand(phone, std::vector<std::string>(words.begin() + 2, words.end()), true);
    }
    return fail("su: bad arguments");
  }
  root = root || mode == "adbd-root";
  const bool mayRead = root || phone.is("world-readable");
  const std::string path = words.size() >= 2 ? words.back() : std::string();
  const std::string local = phone.fileFor(path);
  const bool exists = platform::isRegularFile(local);

  if (words[0] == "id") {
    std::cout << (root ? "uid=0(root) gid=0(root) groups=0(root) context=u:r:su:s0\n"
                       : "uid=2000(shell) gid=2000(shell) groups=2000(shell),1004(input) context=u:r:shell:s0\n");
    return 0;
  }
  if (words[0] == "stat" && words.size() == 4 && words[1] == "-c" && words[2] == "%s") {
    if (phone.is("no-stat")) return fail("stat: Unknown option c");
    if (!mayRead) return fail("stat: '" + path + "': Permission denied");
    if (!exists) return fail("stat: '" + path + "': No such file or directory");
    std::cout << *platform::regularFileSize(local) << "\n";
    return 0;
  }
  if (words[0] == "ls" && words.size() == 3 && words[1] == "-l") {
    if (!mayRead) return fail(path + ": Permission denied");
    if (!exists) return fail(path + ": No such file or directory");
    std::cout << "-rw-rw---- u0_a2    u0_a2    " << *platform::regularFileSize(local) << " 2015-03-01 09:30 "
              << platform::fileNameOf(local) << "\n";
    return 0;
  }
  if (words[0] == "cat" && words.size() == 2) {
    if (!mayRead) return fail("cat: " + path + ": Permission denied");
    if (!exists) return fail("cat: " + path + ": No such file or directory");
    std::string bytes = readAll(local);
    if (phone.is("short-read")) bytes.resize(bytes.size() / 2);
    return platform::writeStdoutBinary(bytes) ? 0 : 1;
  }
  if (words[0] == "chmod") return root ? 0 : fail("chmod: " + path + ": Operation not permitted");
  return fail("/system/bin/sh: " + words[0] + ": inaccessible or not found", 127);
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  Phone phone;
  phone.folder = platform::ProgramFolder();
  std::ifstream conf(platform::joinPath(phone.folder, "fake-adb.conf"));
  for (std::string line; std::getline(conf, line);) {
    const std::size_t equals = line.find('=');
    if (equals != std::string::npos) phone.conf[line.substr(0, equals)] = line.substr(equals + 1);
  }
  {
    std::string call;
    for (std::size_t index = 0; index < args.size(); ++index) call += (index == 0 ? "" : "|") + args[index];
    std::ofstream(platform::joinPath(phone.folder, "fake-adb.log"), std::ios::app) << call << "\n";
  }
  if (args.empty()) return fail("adb: usage: no command specified");
  if (args[0] == "--hang-pid" && args.size() == 2) {
    std::ofstream(args[1] + ".tmp") << platform::CurrentProcessId();
    platform::replaceFile(args[1] + ".tmp", args[1]);
    for (;;) std::this_thread::sleep_for(std::chrono::hours(1));
  }
  if (phone.is("hang-with-child")) {
    // A hung adb that started a process of its own, as adb starts its
    // server; the child stays in adb's process group.
    platform::ProcessOptions options;
    options.timeLimit = std::chrono::hours(1);
    options.ownGroup = false;
    const std::string self = platform::joinPath(phone.folder, std::string("adb") + platform::ExecutableSuffix());
    platform::RunProcess({self, "--hang-pid", platform::joinPath(phone.folder, "child.pid")}, options);
    return 0;
  }
  if (phone.conf.count("complaint") != 0) return fail("error: " + phone.conf.at("complaint"));

  const std::string mode = phone.mode();
  if (mode == "no-device") return fail("error: no devices/emulators found");
  if (mode == "unauthorized") {
    return fail(
        "error: device unauthorized.\nThis adb server's $ADB_VENDOR_KEYS is not set\n"
        "Try 'adb kill-server' if that seems wrong.\nOtherwise check for a confirmation dialog on your device.");
  }
  if (mode == "offline") return fail("error: device offline");

  const std::string& command = args[0];
  if (command == "get-state") {
    std::cout << "device\n";
    return 0;
  }
  if ((command == "shell" || command == "exec-out") && args.size() >= 2) {
    std::string line;
    for (std::size_t index = 1; index < args.size(); ++index) line += (index == 1 ? "" : " ") + args[index];
    return runCommand(phone, wordsOf(line), false);
  }
  if (command == "pull" && args.size() == 3) {
    const std::string local = phone.fileFor(args[1]);
    if (mode != "adbd-root" && !phone.is("world-readable")) {
      return fail("adb: error: failed to stat remote object '" + args[1] + "': Permission denied");
    }
    if (!platform::isRegularFile(local)) {
      return fail("adb: error: failed to stat remote object '" + args[1] + "': No such file or directory");
    }
    std::ofstream(args[2], std::ios::binary | std::ios::trunc) << readAll(local);
    std::cout << args[1] << ": 1 file pulled, 0 skipped.\n";
    return 0;
  }
  return fail("adb: unknown command " + command);
}
