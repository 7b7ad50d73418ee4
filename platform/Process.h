#pragma once
// Running another program with a time limit, and ending the programs we
// started.
//
// A process started here runs in a group of its own (a job object on
// Windows, a process group elsewhere), so that ending it at its time limit
// ends whatever it started too. While it runs it is on a list of this
// process's children, from which EndProcessesNamed takes the ones to end.

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

struct ProcessOptions {
  // The process is ended, with everything it started, when it runs longer.
  std::chrono::milliseconds timeLimit{3000};
  // Windows: no console window and a hidden first window (CREATE_NO_WINDOW,
  // SW_HIDE). Nothing to hide elsewhere.
  bool hidden = true;
  // When not empty, standard output goes to this file, created or emptied
  // first, byte for byte.
  std::string outputFile;
  // When set, standard error, and standard output unless it goes to
  // outputFile, are collected in ProcessResult::output. Otherwise the child
  // writes to this process's standard output and error.
  bool captureOutput = false;
  // POSIX only: false leaves the child in this process's group, so that
  // whoever ends this process's group ends the child too; the time limit
  // then ends the child with every descendant that stayed in this group
  // (found through /proc on Linux). A program that is itself run with a time
  // limit (the adb helper) starts its own children this way. Windows job
  // objects nest, so there the child always gets its own.
  bool ownGroup = true;
};

struct ProcessResult {
  // The program was started (false: it is missing or cannot be run, or an
  // output file cannot be made; `error` says why).
  bool started = false;
  // It ran past its time limit and was ended.
  bool timedOut = false;
  // Its exit status when it ended by itself; -1 when it was ended (time
  // limit, EndProcessesNamed, a signal) or never started.
  int exitCode = -1;
  std::string output;
  std::string error;
};

// Runs a Windows command line (see platform/CommandLine.h): on Windows as it
// is, through CreateProcessW; elsewhere cut into arguments by the same rules
// and started as the program named by the first.
ProcessResult RunProcess(const std::string& commandLine, const ProcessOptions& options);

// Runs a program (argv[0], a path, or a bare name looked up on the PATH
// elsewhere than Windows) with its arguments; on Windows the arguments are
// quoted into a command line.
ProcessResult RunProcess(const std::vector<std::string>& argv, const ProcessOptions& options);

// Ends every process whose executable file name is `fileName` (without
// regard to case on Windows) and that is ours to end: on Windows every such
// process of this logon session (tool-help snapshot and TerminateProcess),
// the children started here with their whole job; elsewhere only the
// children started here that still run, with their whole group, never
// another program of that name. Returns how many were ended.
int EndProcessesNamed(const std::string& fileName);

// This process's id.
std::int64_t CurrentProcessId();

// True while the process with that id runs (a zombie does not count).
bool IsProcessRunning(std::int64_t processId);

}  // namespace platform
