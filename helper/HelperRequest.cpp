#include "helper/HelperRequest.h"

namespace adbhelper {

const char* const kHelperUsage =
    "usage: zephyrloom-phone-rescue-adb-help shell su root chmod 777 PHONE_PATH\n"
    "       zephyrloom-phone-rescue-adb-help pull PHONE_PATH LOCAL_PATH\n"
    "       zephyrloom-phone-rescue-adb-help shell getprop\n"
    "\n"
    "Copies a file of a rooted Android phone for Zephyrloom Phone SMS + Contacts\n"
    "Rescue: through the adb beside this program (adb.exe on Windows); else,\n"
    "when a folder 'demo-phone' lies beside it, from that folder, which stands\n"
    "for the phone's file system; else through adb on the PATH.\n"
    "\n"
    "  shell ...  checks that the phone is connected, that root works on it\n"
    "             (su -c, su 0, su root, or adbd running as root) and that\n"
    "             PHONE_PATH exists. Nothing on the phone is changed.\n"
    "  pull ...   copies PHONE_PATH as root to LOCAL_PATH, with its -wal and\n"
    "             -journal files when the phone has them. The copy is checked\n"
    "             against the phone's size and appears only when complete.\n"
    "  shell getprop  prints the phone's model, Android version and serial\n"
    "             number as [ro.product.model]: [...] lines.\n"
    "\n"
    "Exit status 0 on success; otherwise 3 no adb, 4 no phone, 5 not authorised,\n"
    "6 phone not ready, 7 no root, 8 no such file, 9 incomplete copy, 10 cannot\n"
    "write the copy, 2 usage error, 1 other failures.\n";

namespace {

bool isPlainCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '_' ||
         c == '-' || c == '+' || c == '@';
}

}  // namespace

bool IsPlainPhonePath(std::string_view path) {
  if (path.size() < 2 || path.front() != '/') return false;
  std::size_t start = 1;
  while (start <= path.size()) {
    std::size_t end = path.find('/', start);
    if (end == std::string_view::npos) end = path.size();
    const std::string_view component = path.substr(start, end - start);
    if (component.empty() || component == "." || component == "..") return false;
    for (const char c : component) {
      if (!isPlainCharacter(c)) return false;
    }
    start = end + 1;
  }
  return true;
}

std::optional<HelperRequest> ParseHelperRequest(const std::vector<std::string>& args, std::string& problem) {
  problem.clear();
  HelperRequest request;
  if (args.size() == 2 && args[0] == "shell" && args[1] == "getprop") {
    request.kind = StepKind::kDeviceFacts;
    return request;
  }
  if (args.size() == 6 && args[0] == "shell" && args[1] == "su" && args[2] == "root" && args[3] == "chmod" &&
      args[4] == "777") {
    request.kind = StepKind::kShell;
    request.phonePath = args[5];
  } else if (args.size() == 3 && args[0] == "pull") {
    request.kind = StepKind::kPull;
    request.phonePath = args[1];
    request.localPath = args[2];
    if (request.localPath.empty()) {
      problem = "the local path is empty";
      return std::nullopt;
    }
  } else {
    problem = args.empty() ? "no command given" : "not a command this helper accepts";
    return std::nullopt;
  }
  if (!IsPlainPhonePath(request.phonePath)) {
    problem = "'" + request.phonePath +
              "' is not a plain absolute phone path (letters, digits and ._-+@ between slashes)";
    return std::nullopt;
  }
  return request;
}

}  // namespace adbhelper
