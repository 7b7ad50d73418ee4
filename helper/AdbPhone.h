#pragma once
// The phone through adb.
//
// Android keeps the databases readable by their app and by root only, and
// on Android 5 and later SELinux refuses adbd's reads even after a chmod.
// So the helper never changes the phone: it finds a way to run commands as
// root (adbd already running as root, "su -c CMD" of Magisk and SuperSU,
// "su 0 CMD" and "su root CMD" of older su builds; Magisk's su drops
// everything after "su root", which the probe notices because no root "id"
// comes back), and streams the file out with "adb exec-out ... cat", which
// passes bytes unchanged (no terminal in between). A plain "adb pull" is
// tried first; it works when adbd runs as root or the file is readable
// anyway.
//
// Every adb run has a time limit and stays in the helper's own process
// group, so that whoever ends the helper ends it too.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "helper/PhoneFiles.h"
#include "platform/Process.h"

namespace adbhelper {

enum class RootForm { kNone, kAdbdRoot, kSuDashC, kSuZero, kSuRoot };

// "adbd running as root", "su -c", "su 0", "su root"; "none".
const char* RootFormName(RootForm form);

// A phone shell command line that runs `command` as root in that form.
// `command` must need no quoting beyond single quotes (plain paths only).
std::string RootCommand(RootForm form, const std::string& command);

// True when the output of "id" shows user id 0.
bool ShowsRootId(const std::string& output);

// The size printed by "stat -c %s": one decimal number alone.
std::optional<std::uint64_t> ParseStatSize(const std::string& output);

// The size in the first line of "ls -l": the number before the date, in
// the toybox and toolbox form ("... 12288 2020-01-01 12:00 name") and the
// busybox form ("... 12288 Jan  1 12:00 name").
std::optional<std::uint64_t> ParseLsSize(const std::string& output);

// What adb's own complaint (about the device, not a phone command) means.
StepResult ClassifyAdbComplaint(const std::string& output);

struct AdbLimits {
  // A question to the phone (state, id, size). Magisk asks the user to
  // grant root for up to 10 s by default.
  std::chrono::milliseconds query{20000};
  // Copying one file; below the program's 10 minutes for a pull, so that
  // the helper can clean up and say why.
  std::chrono::milliseconds transfer{9 * 60 * 1000};
};

class AdbPhone : public PhoneFiles {
 public:
  explicit AdbPhone(std::string adbProgram, AdbLimits limits = AdbLimits());

  StepResult connect(bool needRoot) override;
  StepResult statFile(const std::string& phonePath, std::uint64_t& size) override;
  StepResult readFile(const std::string& phonePath, const std::string& localPath) override;
  StepResult describeDevice(DeviceFacts& facts) override;
  std::string describeAccess() const override;

  RootForm rootForm() const { return root_; }

 private:
  platform::ProcessResult runAdb(const std::vector<std::string>& args, std::chrono::milliseconds limit,
                                 const std::string& outputFile = std::string()) const;
  // A failure for an adb run that did not start, ran too long, or got a
  // complaint from adb about the device.
  StepResult runFailure(const platform::ProcessResult& result, const std::string& what,
                        std::chrono::milliseconds limit) const;
  StepResult checkDevice();
  StepResult findRoot();
  StepResult sizeFrom(const std::string& phonePath, const std::string& command, std::uint64_t& size,
                      bool& understood);

  std::string adbProgram_;
  AdbLimits limits_;
  RootForm root_ = RootForm::kNone;
  bool rootAskTimedOut_ = false;
};

}  // namespace adbhelper
