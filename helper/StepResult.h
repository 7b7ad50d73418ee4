#pragma once
// How one helper step ended. The status is also the helper's exit status,
// so that a caller that reads it can tell the causes apart; 0 only on
// success.

#include <string>
#include <utility>

namespace adbhelper {

enum class HelperStatus : int {
  kOk = 0,
  kFailed = 1,           // anything not listed below
  kUsage = 2,            // not one of the accepted command lines
  kNoAdb = 3,            // no adb to run and no demo phone
  kNoDevice = 4,         // no phone connected
  kUnauthorised = 5,     // the phone has not allowed USB debugging from this computer
  kDeviceNotReady = 6,   // offline, several devices, a boot mode, adb not answering
  kNoRoot = 7,           // no working way to root on the phone
  kFileMissing = 8,      // the phone has no such file
  kIncompleteCopy = 9,   // fewer (or more) bytes arrived than the phone's file holds
  kLocalFile = 10,       // the copy cannot be written on this computer
};

struct StepResult {
  HelperStatus status = HelperStatus::kOk;
  // On failure what went wrong and what to do; on success what was done.
  std::string message;

  bool ok() const { return status == HelperStatus::kOk; }
};

inline StepResult Succeeded(std::string message = std::string()) { return {HelperStatus::kOk, std::move(message)}; }

inline StepResult Failed(HelperStatus status, std::string message) { return {status, std::move(message)}; }

inline int ExitStatusOf(HelperStatus status) { return static_cast<int>(status); }

}  // namespace adbhelper
