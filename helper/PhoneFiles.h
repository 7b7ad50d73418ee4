#pragma once
// What a helper step needs from a phone: a connection, the size of a file,
// and its bytes. Served by adb (AdbPhone) or by a folder that stands for
// the phone (DemoPhone).

#include <cstdint>
#include <string>

#include "helper/StepResult.h"

namespace adbhelper {

// What the phone says of itself, for the record of an acquisition; a fact
// the phone does not give stays empty.
struct DeviceFacts {
  std::string model;           // ro.product.model
  std::string androidVersion;  // ro.build.version.release
  std::string serial;          // the serial number adb knows the phone by
};

class PhoneFiles {
 public:
  virtual ~PhoneFiles() = default;

  // Gets the phone ready. With `needRoot`, fails unless files that only
  // root may read can be read.
  virtual StepResult connect(bool needRoot) = 0;

  // The size of a file on the phone; status kFileMissing when there is none.
  virtual StepResult statFile(const std::string& phonePath, std::uint64_t& size) = 0;

  // Writes the bytes of a phone file to `localPath` (created or emptied).
  // The caller checks the size.
  virtual StepResult readFile(const std::string& phonePath, const std::string& localPath) = 0;

  // The phone's model, Android version and serial number (the phone must be
  // connected).
  virtual StepResult describeDevice(DeviceFacts& facts) = 0;

  // How the files are reached, for the success message ("adb, root through
  // su -c").
  virtual std::string describeAccess() const = 0;
};

}  // namespace adbhelper
