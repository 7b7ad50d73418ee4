// zephyrloom-phone-rescue-adb-help: the adb helper that lies beside the
// program and copies the phone's databases (see helper/HelperProgram.h).

#include <iostream>
#include <string>
#include <vector>

#include "helper/HelperProgram.h"
#include "platform/ProgramArguments.h"
#include "platform/ProgramLocation.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args = platform::ProgramArguments(argc, argv);
  const int status = adbhelper::RunHelperProgram(args, platform::ProgramFolder(), std::cout, std::cerr);
  std::cout.flush();
  return status;
}
