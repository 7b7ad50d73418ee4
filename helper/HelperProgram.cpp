#include "helper/HelperProgram.h"

#include <memory>

#include "helper/AdbPhone.h"
#include "helper/DemoPhone.h"
#include "helper/HelperRequest.h"
#include "helper/PhoneCopy.h"
#include "helper/PrintableText.h"
#include "platform/FileOperations.h"
#include "platform/ProgramLocation.h"

namespace adbhelper {

namespace {

const char* const kProgramName = "zephyrloom-phone-rescue-adb-help";

// Prints what the phone says of itself, as getprop lines.
int PrintDeviceFacts(PhoneFiles& phone, std::ostream& out, std::ostream& err) {
  StepResult result = phone.connect(false);
  DeviceFacts facts;
  if (result.ok()) result = phone.describeDevice(facts);
  if (!result.ok()) {
    err << kProgramName << ": " << PrintableText(result.message) << "\n";
    return ExitStatusOf(result.status);
  }
  out << "[ro.product.model]: [" << PrintableText(facts.model) << "]\n"
      << "[ro.build.version.release]: [" << PrintableText(facts.androidVersion) << "]\n"
      << "[ro.serialno]: [" << PrintableText(facts.serial) << "]\n";
  return ExitStatusOf(HelperStatus::kOk);
}

}  // namespace

PhoneLocation LocatePhone(const std::string& helperFolder) {
  const std::string adbName = std::string("adb") + platform::ExecutableSuffix();
  const std::string adbBeside = platform::joinPath(helperFolder, adbName);
  if (platform::isRegularFile(adbBeside)) return {PhoneLocation::Kind::kAdb, adbBeside};
  const std::string demo = platform::joinPath(helperFolder, "demo-phone");
  if (platform::isDirectory(demo)) return {PhoneLocation::Kind::kDemo, demo};
  const std::string onPath = platform::FindProgramOnPath(adbName);
  if (!onPath.empty()) return {PhoneLocation::Kind::kAdb, onPath};
  // An adb that is there but cannot be run: running it says why, which
  // helps more than "cannot find adb".
  const std::string unusable = platform::FindAnythingOnPath(adbName);
  if (!unusable.empty()) return {PhoneLocation::Kind::kAdb, unusable};
  return {};
}

int RunHelperProgram(const std::vector<std::string>& args, const std::string& helperFolder, std::ostream& out,
                     std::ostream& err) {
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
    out << kHelperUsage;
    return ExitStatusOf(HelperStatus::kOk);
  }
  std::string problem;
  const std::optional<HelperRequest> request = ParseHelperRequest(args, problem);
  if (!request) {
    err << kProgramName << ": " << problem << "\n" << kHelperUsage;
    return ExitStatusOf(HelperStatus::kUsage);
  }

  const PhoneLocation location = LocatePhone(helperFolder);
  std::unique_ptr<PhoneFiles> phone;
  switch (location.kind) {
    case PhoneLocation::Kind::kAdb: phone = std::make_unique<AdbPhone>(location.path); break;
    case PhoneLocation::Kind::kDemo: phone = std::make_unique<DemoPhone>(location.path); break;
    case PhoneLocation::Kind::kNone: {
      const std::string adbName = std::string("adb") + platform::ExecutableSuffix();
      err << kProgramName << ": cannot find " << adbName << ": put " << adbName
          << " of Android SDK Platform-Tools (with its DLLs on Windows) beside this program in " << helperFolder
          << ", or install adb on the PATH (Debian and Ubuntu: apt install adb)\n";
      return ExitStatusOf(HelperStatus::kNoAdb);
    }
  }

  if (request->kind == StepKind::kDeviceFacts) return PrintDeviceFacts(*phone, out, err);
  const StepResult result = request->kind == StepKind::kShell
                                ? RunShellStep(*phone, request->phonePath)
                                : RunPullStep(*phone, request->phonePath, request->localPath);
  if (!result.ok()) {
    err << kProgramName << ": " << PrintableText(result.message) << "\n";
    return ExitStatusOf(result.status);
  }
  out << PrintableText(result.message) << "\n";
  return ExitStatusOf(HelperStatus::kOk);
}

}  // namespace adbhelper
