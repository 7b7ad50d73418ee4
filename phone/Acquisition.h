#pragma once
// Device acquisition: the program copies the phone's contacts and SMS
// databases by running the adb helper that lies beside it four times, then
// reports that the copies are ready; whoever listens decides from their
// presence what comes next (the window scans or shows its failure screen,
// the command line reports).
//
// Copies: a folder per database below a base folder, "Zephyrloom" for
// contacts2.db and "zephyrloom-phone-rescue" for mmssms.db. The window's
// base folder is the drive root of the program's folder; the command line
// takes a chosen folder. Each copy may come with SQLite's side files (a
// "-wal" or "-journal" beside it), which belong to it: they are brought
// along by the helper and deleted with it.
//
// Helper runs: two shell steps, each limited to 3000 ms, then two pulls,
// each limited to 10 minutes (a phone's SMS database over USB may take
// long, and a pull ended early leaves no copy).

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "platform/Process.h"

namespace phone {

// The databases on the phone.
extern const char* const kPhoneContactsDb;  // /data/data/com.android.providers.contacts/databases/contacts2.db
extern const char* const kPhoneSmsDb;       // /data/data/com.android.providers.telephony/databases/mmssms.db

// The helper's file name without the system's executable suffix.
extern const char* const kHelperBaseName;  // zephyrloom-phone-rescue-adb-help

// The helper's file name on this system ("....exe" on Windows).
std::string HelperFileName();

// The endings of a database copy's side files.
extern const char* const kCopySideFileSuffixes[2];  // "-wal", "-journal"

constexpr std::chrono::milliseconds kShellStepLimit{3000};
constexpr std::chrono::milliseconds kPullStepLimit{10 * 60 * 1000};

struct CopyPaths {
  std::string contacts;  // <base>/Zephyrloom/contacts2.db
  std::string sms;       // <base>/zephyrloom-phone-rescue/mmssms.db
};

// The copy paths below a base folder.
CopyPaths CopyPathsIn(const std::string& baseFolder);

// The window's base folder: the first three characters of the program's
// folder ("C:\" for "C:\Program Files\Zephyrloom"), whatever they are.
std::string DriveRootOf(const std::string& programFolder);

// One run of the helper.
struct HelperStep {
  std::string commandLine;
  std::chrono::milliseconds timeLimit;
  bool pull;                // false: a shell step
  std::string phonePath;    // the database the step works on
  std::string copyPath;     // pulls: where the copy goes
};

// The four command lines, in the order they run: make the contacts and the
// SMS database readable, pull the SMS database, pull the contacts database.
// Each is the helper's path in double quotes (the folder may hold blanks)
// followed by the adb arguments; a copy path with blanks is quoted too. No
// length limit applies here; Windows refuses lines of 32767 characters and
// more when the step runs.
std::vector<HelperStep> HelperCommandLines(const std::string& helperFolder, const CopyPaths& copies);

// Runs one helper command line, hidden, and ends it (with whatever it
// started) at its time limit. `started` in the result: the process was
// created. The window ignores the result; the command line reports it.
platform::ProcessResult RunHelperCommand(const std::string& commandLine, std::chrono::milliseconds timeLimit);

// Ends the running helper processes (see platform::EndProcessesNamed).
// Returns how many were ended.
int KillHelperProcesses();

// Deletes both copies and their side files; missing files are no error.
void DeleteCopies(const CopyPaths& copies);

// Before an acquisition: creates the contacts copy's folder (the helper
// makes any other folder it needs) and deletes old copies.
void PrepareCopies(const CopyPaths& copies);

// A new folder below `baseFolder` ("zephyrloom-incoming", or with a number
// when that name is taken) for pulls that must not touch the copies already
// there until they are complete; empty, with the reason in `problem`, when
// none can be made.
std::string CreateIncomingFolder(const std::string& baseFolder, std::string& problem);

// Puts the copy pulled to `incoming` (with the side files that came with
// it) in place of the copy at `copy`. Side files of the old copy that the
// new one lacks go, so that an old "-wal" is never read with a new
// database. False, with `problem` naming the file, when one cannot be moved.
bool ReplaceCopy(const std::string& incoming, const std::string& copy, std::string& problem);

// True when at least one copy exists: the scan can go on.
bool AnyCopyExists(const CopyPaths& copies);

struct AcquisitionSettings {
  std::string helperFolder;  // the folder that holds the helper
  CopyPaths copies;
  // The wait before the first step (the window waits 5 s, for a phone that
  // was just plugged in).
  std::chrono::milliseconds startDelay{0};
  // Stop after a step that shows that no later step can work (see
  // LeavesNothingToTry) rather than run all four.
  bool stopWhenPointless = false;
  // When given and set, the wait ends and no further step starts (the
  // window closing); the copies-ready call still comes.
  const std::atomic<int>* stopFlag = nullptr;
};

// True when a step's end shows that the phone cannot be reached at all, so
// that every later step would fail the same way: the helper did not start,
// or it found no adb (exit status 3), no phone (4), a phone that has not
// allowed this computer (5) or one that is not ready (6). A missing file,
// an incomplete copy or a step that ran out of time concern one step only.
bool LeavesNothingToTry(const platform::ProcessResult& result);

// Told after each step, with how it ended.
using StepObserver = std::function<void(const HelperStep& step, const platform::ProcessResult& result)>;

// The acquisition worker: waits the start delay, runs the four steps one
// after the other (a failed step does not stop the later ones, unless the
// settings say to stop when they are pointless), then calls `copiesReady`
// once. Touches nothing but the copies and the helper.
void AcquireThreadProc(const AcquisitionSettings& settings, const std::function<void()>& copiesReady,
                       const StepObserver& onStep = nullptr);

}  // namespace phone
