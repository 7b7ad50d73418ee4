#pragma once
// A folder that stands for the phone's file system: the phone path
// "/data/data/x/databases/y.db" is the file data/data/x/databases/y.db in
// the folder. Shipped with the program as "demo-phone" beside the helper,
// so that the program can be tried without a phone.

#include <string>

#include "helper/PhoneFiles.h"

namespace adbhelper {

class DemoPhone : public PhoneFiles {
 public:
  explicit DemoPhone(std::string folder);

  // The local file for a plain phone path (see IsPlainPhonePath).
  std::string localPathOf(const std::string& phonePath) const;

  StepResult connect(bool needRoot) override;
  StepResult statFile(const std::string& phonePath, std::uint64_t& size) override;
  StepResult readFile(const std::string& phonePath, const std::string& localPath) override;
  StepResult describeDevice(DeviceFacts& facts) override;
  std::string describeAccess() const override;

 private:
  std::string folder_;
};

}  // namespace adbhelper
