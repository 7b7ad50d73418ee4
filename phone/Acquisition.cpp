#include "phone/Acquisition.h"

#include <thread>

#include "platform/CommandLine.h"
#include "platform/FileOperations.h"
#include "platform/NewFile.h"
#include "platform/TextEncoding.h"
#include "platform/ProgramLocation.h"

namespace phone {

const char* const kPhoneContactsDb = "/data/data/com.android.providers.contacts/databases/contacts2.db";
const char* const kPhoneSmsDb = "/data/data/com.android.providers.telephony/databases/mmssms.db";
const char* const kHelperBaseName = "zephyrloom-phone-rescue-adb-help";
const char* const kCopySideFileSuffixes[2] = {"-wal", "-journal"};

std::string HelperFileName() { return std::string(kHelperBaseName) + platform::ExecutableSuffix(); }

CopyPaths CopyPathsIn(const std::string& baseFolder) {
  CopyPaths copies;
  copies.contacts = platform::joinPath(platform::joinPath(baseFolder, "Zephyrloom"), "contacts2.db");
  copies.sms = platform::joinPath(platform::joinPath(baseFolder, "zephyrloom-phone-rescue"), "mmssms.db");
  return copies;
}

std::string DriveRootOf(const std::string& programFolder) { return programFolder.substr(0, 3); }

std::vector<HelperStep> HelperCommandLines(const std::string& helperFolder, const CopyPaths& copies) {
  const std::string helper = platform::QuoteProgramPath(platform::joinPath(helperFolder, HelperFileName()));
  const auto shellStep = [&](const char* phonePath) {
    return HelperStep{helper + " shell su root chmod 777 " + phonePath, kShellStepLimit, false, phonePath, ""};
  };
  const auto pullStep = [&](const char* phonePath, const std::string& copy) {
    return HelperStep{helper + " pull " + phonePath + " " + platform::QuoteArgument(copy), kPullStepLimit, true,
                      phonePath, copy};
  };
  return {shellStep(kPhoneContactsDb), shellStep(kPhoneSmsDb), pullStep(kPhoneSmsDb, copies.sms),
          pullStep(kPhoneContactsDb, copies.contacts)};
}

platform::ProcessResult RunHelperCommand(const std::string& commandLine, std::chrono::milliseconds timeLimit) {
  platform::ProcessOptions options;
  options.timeLimit = timeLimit;
  options.hidden = true;
  return platform::RunProcess(commandLine, options);
}

int KillHelperProcesses() { return platform::EndProcessesNamed(HelperFileName()); }

void DeleteCopies(const CopyPaths& copies) {
  for (const std::string* copy : {&copies.contacts, &copies.sms}) {
    platform::removeFile(*copy);
    for (const char* suffix : kCopySideFileSuffixes) platform::removeFile(*copy + suffix);
  }
}

void PrepareCopies(const CopyPaths& copies) {
  platform::createFolders(platform::parentFolder(copies.contacts));
  DeleteCopies(copies);
}

std::string CreateIncomingFolder(const std::string& baseFolder, std::string& problem) {
  for (int attempt = 1; attempt <= 100; ++attempt) {
    const std::string name = "zephyrloom-incoming" + (attempt == 1 ? std::string() : "-" + std::to_string(attempt));
    const std::string folder = platform::joinPath(baseFolder, name);
    if (platform::createNewFolder(platform::utf16FromNarrow(folder), problem)) return folder;
    if (!platform::isNameTakenReason(problem)) {
      problem = "cannot create the folder " + folder + ": " + problem;
      return std::string();
    }
  }
  problem = "cannot create a folder for the new copies in " + baseFolder + ": every name tried is taken";
  return std::string();
}

bool ReplaceCopy(const std::string& incoming, const std::string& copy, std::string& problem) {
  const std::string folder = platform::parentFolder(copy);
  if (!platform::createFolders(folder)) {
    problem = "cannot create the folder " + folder;
    return false;
  }
  for (const char* suffix : kCopySideFileSuffixes) {
    const std::string side = copy + suffix;
    if (platform::isRegularFile(incoming + suffix)) {
      if (!platform::replaceFile(incoming + suffix, side)) {
        problem = "cannot put the new " + side + " in place";
        return false;
      }
    } else if (platform::isRegularFile(side) && !platform::removeFile(side)) {
      problem = "cannot delete the old " + side + ", which does not belong to the new copy";
      return false;
    }
  }
  if (!platform::replaceFile(incoming, copy)) {
    problem = "cannot put the new " + copy + " in place";
    return false;
  }
  return true;
}

bool LeavesNothingToTry(const platform::ProcessResult& result) {
  if (!result.started) return true;
  // The helper's exit statuses for no adb, no phone, an unauthorised phone
  // and a phone that is not ready.
  return result.exitCode >= 3 && result.exitCode <= 6;
}

bool AnyCopyExists(const CopyPaths& copies) {
  return platform::fileExists(copies.contacts) || platform::fileExists(copies.sms);
}

void AcquireThreadProc(const AcquisitionSettings& settings, const std::function<void()>& copiesReady,
                       const StepObserver& onStep) {
  const auto stopped = [&settings] { return settings.stopFlag != nullptr && settings.stopFlag->load() != 0; };
  // The wait is taken in slices, so that a stop is seen within one.
  constexpr std::chrono::milliseconds kSlice{50};
  const auto waitEnd = std::chrono::steady_clock::now() + settings.startDelay;
  while (!stopped() && std::chrono::steady_clock::now() < waitEnd) std::this_thread::sleep_for(kSlice);
  for (const HelperStep& step : HelperCommandLines(settings.helperFolder, settings.copies)) {
    if (stopped()) break;
    const platform::ProcessResult result = RunHelperCommand(step.commandLine, step.timeLimit);
    if (onStep) onStep(step, result);
    if (settings.stopWhenPointless && LeavesNothingToTry(result)) break;
  }
  if (copiesReady) copiesReady();
}

}  // namespace phone
