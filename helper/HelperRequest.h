#pragma once
// The command lines the helper accepts: the four that the program runs,
//   shell su root chmod 777 PHONE_PATH
//   pull PHONE_PATH LOCAL_PATH
// and one that asks the phone what it is, for the record of an acquisition:
//   shell getprop
// The words of the shell step are the program's, from the days when the
// helper was adb itself; the helper takes them as "check that root can read
// PHONE_PATH" and changes nothing on the phone.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace adbhelper {

enum class StepKind { kShell, kPull, kDeviceFacts };

struct HelperRequest {
  StepKind kind = StepKind::kShell;
  std::string phonePath;
  std::string localPath;  // pulls only
};

extern const char* const kHelperUsage;

// True for an absolute phone path made only of letters, digits and
// "._-+@/", with no empty, "." or ".." component: a path that needs no
// quoting in the phone's shell and cannot leave a demo phone's folder.
bool IsPlainPhonePath(std::string_view path);

// The request for the helper's arguments (those after the program), or
// nothing with `problem` saying what is wrong.
std::optional<HelperRequest> ParseHelperRequest(const std::vector<std::string>& args, std::string& problem);

}  // namespace adbhelper
