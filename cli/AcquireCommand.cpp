#include "cli/AcquireCommand.h"

#include <algorithm>
#include <utility>

#include "cli/Arguments.h"
#include "cli/Evidence.h"
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

// The demo phone's two databases: beside the program in a folder "demo"
// (the Windows setup and zip), in the shared data of an installed package
// (/usr/lib/zephyrloom-rescue beside /usr/share/zephyrloom-rescue), or in
// the source tree the program was built from.
std::vector<std::string> DemoPhonePlaces() {
  using platform::joinPath;
  const std::string program = platform::ProgramFolder();
  const std::string prefix = platform::parentFolder(platform::parentFolder(program));
  return {joinPath(program, "demo"), joinPath(joinPath(joinPath(prefix, "share"), "zephyrloom-rescue"), "demo"),
          ZR_DEMO_DIR};
}

std::string FindDemoPhone(std::string& placesTried) {
  for (const std::string& place : DemoPhonePlaces()) {
    if (platform::isRegularFile(platform::joinPath(place, "contacts2.db"))) return place;
    placesTried += (placesTried.empty() ? "" : ", ") + place;
  }
  return {};
}

// The demo phone as the helper serves it: a copy of the helper beside a
// demo-phone folder laid out like the phone's file system.
bool StageDemoHelper(const std::string& helperFolder, const std::string& stage, std::ostream& out,
                     std::ostream& err) {
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
  std::string placesTried;
  const std::string demo = FindDemoPhone(placesTried);
  if (demo.empty()) {
    err << "zephyrloom-rescue acquire: cannot find the demo phone (looked in " << placesTried << ")\n";
    return false;
  }
  if (!platform::copyFile(joinPath(demo, "contacts2.db"), joinPath(contactsFolder, "contacts2.db")) ||
      !platform::copyFile(joinPath(demo, "mmssms.db"), joinPath(smsFolder, "mmssms.db"))) {
    err << "zephyrloom-rescue acquire: cannot copy the demo phone from " << demo << "\n";
    return false;
  }
  out << "Demo phone: " << demo << "\n";
  return true;
}

}  // namespace

AcquiredCopies Acquire(const std::string& folder, bool demo, const std::string& helperFolder, std::ostream& out,
                       std::ostream& err) {
  AcquiredCopies acquired;
  if (!platform::createFolders(folder)) {
    err << "zephyrloom-rescue acquire: cannot create the folder " << folder << "\n";
    return acquired;
  }
  std::string problem;
  const std::string incomingFolder = phone::CreateIncomingFolder(folder, problem);
  if (incomingFolder.empty()) {
    err << "zephyrloom-rescue acquire: " << problem << "\n";
    return acquired;
  }
  const phone::CopyPaths copies = phone::CopyPathsIn(folder);
  const phone::CopyPaths incoming = phone::CopyPathsIn(incomingFolder);
  phone::AcquisitionSettings settings;
  settings.copies = incoming;
  settings.helperFolder = helperFolder;
  settings.stopWhenPointless = true;
  const std::string stage = platform::joinPath(folder, "demo-helper");
  bool staged = true;
  if (demo) {
    staged = StageDemoHelper(helperFolder, stage, out, err);
    settings.helperFolder = stage;
  }
  std::vector<std::string> pulled;
  bool stoppedEarly = false;
  if (staged) {
    platform::createFolders(platform::parentFolder(incoming.contacts));
    // The helper writes its notes straight to our standard output: what we
    // wrote must be out first, and each step's line before the next note.
    out.flush();
    int stepsRun = 0;
    phone::AcquireThreadProc(settings, [] {}, [&](const phone::HelperStep& step, const platform::ProcessResult& result) {
      ++stepsRun;
      out << (step.pull ? "pull  " : "check ") << step.phonePath << ": "
          << (result.timedOut ? "timed out" : result.exitCode == 0 ? "done" : "failed") << std::endl;
      if (result.exitCode != 0 && !result.error.empty()) err << result.error << "\n";
      if (step.pull && result.exitCode == 0) pulled.push_back(step.copyPath);
      stoppedEarly = stepsRun < 4 && phone::LeavesNothingToTry(result);
    });
  }
  if (stoppedEarly) {
    err << "zephyrloom-rescue acquire: the phone cannot be reached (see above), so the other steps were not run\n";
  }
  const auto wasPulled = [&](const std::string& copy) {
    return std::find(pulled.begin(), pulled.end(), copy) != pulled.end() && platform::isRegularFile(copy);
  };
  const std::pair<const std::string*, const std::string*> databases[] = {{&incoming.contacts, &copies.contacts},
                                                                         {&incoming.sms, &copies.sms}};
  for (const auto& [from, to] : databases) {
    if (!wasPulled(*from)) {
      acquired.notCopied.push_back(platform::fileNameOf(*to));
    } else if (!phone::ReplaceCopy(*from, *to, problem)) {
      err << "zephyrloom-rescue acquire: " << problem << "\n";
      acquired.notCopied.push_back(platform::fileNameOf(*to));
    } else {
      acquired.made.push_back(*to);
    }
  }
  platform::removeFolderTree(incomingFolder);
  if (!acquired.made.empty()) {
    const auto madeOrEmpty = [&](const std::string& copy) {
      return std::find(acquired.made.begin(), acquired.made.end(), copy) != acquired.made.end() ? copy : std::string();
    };
    const phone::CopyPaths made{madeOrEmpty(copies.contacts), madeOrEmpty(copies.sms)};
    acquired.unrecorded = !RecordAcquisition(folder, made, settings.helperFolder, out, err);
  }
  if (demo) platform::removeFolderTree(stage);
  return acquired;
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
  const AcquiredCopies acquired = Acquire(*folder, parsed.flag("--demo"), helperFolder, out, err);
  for (const std::string& name : acquired.notCopied) {
    err << "zephyrloom-rescue acquire: " << name << " was not copied"
        << (acquired.made.empty() ? "" : "; an older copy of it in " + *folder + ", if any, is left as it was")
        << "\n";
  }
  if (acquired.made.empty()) {
    err << "zephyrloom-rescue acquire: no database could be copied from the phone; the copies already in " << *folder
        << ", if any, are left as they were\n";
    return kExitFailure;
  }
  for (std::size_t index = 0; index < acquired.made.size(); ++index) {
    out << (index == 0 ? "Copies: " : "        ") << acquired.made[index] << "\n";
  }
  return acquired.unrecorded ? kExitFailure : kExitOk;
}

}  // namespace cli
