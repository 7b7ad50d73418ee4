#include "cli/AcquireCommand.h"

#include "cli/Arguments.h"
#include "cli/CommandResult.h"
#include "platform/FileOperations.h"
#include "platform/ProgramLocation.h"

namespace cli {

const char* const kAcquireUsage =
    "usage: zephyrloom-rescue acquire --out DIR [--demo] [--helper DIR]\n"
    "\n"
    "Copies the phone's contacts2.db and mmssms.db into DIR through the adb\n"
    "helper (zephyrloom-phone-rescue-adb-help), which uses adb from the PATH\n"
    "and the phone's root access; the phone is only read.\n"
    "\n"
    "  --demo        copy from the demo phone instead of a real one\n"
    "  --helper DIR  the folder of the helper (default: beside this program)\n";

namespace {

// The demo phone as the helper serves it: a copy of the helper beside a
// demo-phone folder laid out like the phone's file system.
bool StageDemoHelper(const std::string& helperFolder, const std::string& stage, std::ostream& err) {
  using platform::joinPath;
  const std::string helperName = phone::HelperFileName();
  const std::string phoneRoot = joinPath(joinPath(joinPath(stage, "demo-phone"), "data"), "data");
  const std::string contactsFolder = joinPath(joinPath(phoneRoot, "com.android.providers.contacts"), "databases");
  const std::string smsFolder = joinPath(joinPath(phoneRoot, "com.android.providers.telephony"), "databases");
  if (!platform::createFolders(contactsFolder) || !platform::createFolders(smsFolder)) {
    err << "zephyrloom-rescue acquire: cannot create the folder " << phoneRoot << "\n";
    return false;
  }
  if (!platform::copyFile(joinPath(helperFolder, helperName), joinPath(stage, helperName))) {
    err << "zephyrloom-rescue acquire: cannot find the helper " << helperName << " in " << helperFolder << "\n";
    return false;
  }
  const std::string demo = ZR_DEMO_DIR;
  if (!platform::copyFile(joinPath(demo, "contacts2.db"), joinPath(contactsFolder, "contacts2.db")) ||
      !platform::copyFile(joinPath(demo, "mmssms.db"), joinPath(smsFolder, "mmssms.db"))) {
    err << "zephyrloom-rescue acquire: cannot find the demo phone in " << demo << "\n";
    return false;
  }
  return true;
}

}  // namespace

bool Acquire(const std::string& folder, bool demo, const std::string& helperFolder, phone::CopyPaths& copies,
             std::ostream& out, std::ostream& err) {
  if (!platform::createFolders(folder)) {
    err << "zephyrloom-rescue acquire: cannot create the folder " << folder << "\n";
    return false;
  }
  copies = phone::CopyPathsIn(folder);
  phone::AcquisitionSettings settings;
  settings.copies = copies;
  settings.helperFolder = helperFolder;
  const std::string stage = platform::joinPath(folder, "demo-helper");
  if (demo) {
    if (!StageDemoHelper(helperFolder, stage, err)) return false;
    settings.helperFolder = stage;
  }
  phone::PrepareCopies(copies);
  phone::AcquireThreadProc(settings, [] {}, [&](const phone::HelperStep& step, const platform::ProcessResult& result) {
    out << (step.pull ? "pull  " : "check ") << step.phonePath << ": "
        << (result.timedOut ? "timed out" : result.exitCode == 0 ? "done" : "failed") << "\n";
    if (result.exitCode != 0 && !result.error.empty()) err << result.error;
  });
  if (demo) {
    platform::removeFolderTree(stage);
  }
  return phone::AnyCopyExists(copies);
}

int runAcquire(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const ParsedArguments parsed = ParseArguments(args, {"--out", "--helper"}, {"--demo", "--help", "-h"});
  if (parsed.flag("--help") || parsed.flag("-h")) {
    out << kAcquireUsage;
    return kExitOk;
  }
  if (!parsed.error.empty()) return UsageError(err, "acquire", parsed.error);
  if (!parsed.words.empty()) return UsageError(err, "acquire", "unexpected argument '" + parsed.words[0] + "'");
  const auto folder = parsed.option("--out");
  if (!folder || folder->empty()) return UsageError(err, "acquire", "missing --out DIR");
  const std::string helperFolder = parsed.option("--helper").value_or(platform::ProgramFolder());
  phone::CopyPaths copies;
  if (!Acquire(*folder, parsed.flag("--demo"), helperFolder, copies, out, err)) {
    err << "zephyrloom-rescue acquire: no database could be copied from the phone\n";
    return kExitFailure;
  }
  out << "Copies: " << copies.contacts << "\n        " << copies.sms << "\n";
  return kExitOk;
}

}  // namespace cli
