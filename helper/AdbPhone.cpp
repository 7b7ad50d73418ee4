#include "helper/AdbPhone.h"

#include <cctype>

namespace adbhelper {

namespace {

constexpr RootForm kSuForms[] = {RootForm::kSuDashC, RootForm::kSuZero, RootForm::kSuRoot};

bool contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

std::string trim(const std::string& text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && std::isspace(static_cast<unsigned char>(text[begin]))) ++begin;
  while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
  return text.substr(begin, end - begin);
}

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string line = trim(text.substr(start, end - start));
    if (!line.empty()) lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

// adb's output without the lines of its server start ("* daemon not
// running; starting now at tcp:5037", "* daemon started successfully").
std::vector<std::string> meaningfulLines(const std::string& output) {
  std::vector<std::string> lines;
  for (const std::string& line : linesOf(output)) {
    if (line.rfind("* ", 0) != 0) lines.push_back(line);
  }
  return lines;
}

std::string firstLine(const std::string& output) {
  const std::vector<std::string> lines = meaningfulLines(output);
  return lines.empty() ? std::string("(no output)") : lines.front();
}

std::vector<std::string> wordsOf(const std::string& line) {
  std::vector<std::string> words;
  std::size_t pos = 0;
  while (pos < line.size()) {
    while (pos < line.size() && std::isspace(static_cast<unsigned char>(line[pos]))) ++pos;
    const std::size_t start = pos;
    while (pos < line.size() && !std::isspace(static_cast<unsigned char>(line[pos]))) ++pos;
    if (pos > start) words.push_back(line.substr(start, pos - start));
  }
  return words;
}

std::optional<std::uint64_t> decimal(const std::string& word) {
  if (word.empty() || word.size() > 19) return std::nullopt;
  std::uint64_t value = 0;
  for (const char c : word) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
  }
  return value;
}

bool isIsoDate(const std::string& word) {
  if (word.size() != 10 || word[4] != '-' || word[7] != '-') return false;
  for (const std::size_t at : {0u, 1u, 2u, 3u, 5u, 6u, 8u, 9u}) {
    if (!std::isdigit(static_cast<unsigned char>(word[at]))) return false;
  }
  return true;
}

bool isMonthName(const std::string& word) {
  static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  for (const char* month : kMonths) {
    if (word == month) return true;
  }
  return false;
}

std::string seconds(std::chrono::milliseconds limit) { return std::to_string((limit.count() + 999) / 1000) + " s"; }

StepResult missingFile(const std::string& phonePath) {
  return Failed(HelperStatus::kFileMissing,
                "the phone has no file " + phonePath + " (is the contacts or messages app's data elsewhere?)");
}

StepResult noRoot(bool askTimedOut) {
  std::string message =
      "cannot get root on the phone: adbd does not run as root, and none of 'su -c', 'su 0' and 'su root' "
      "works. The databases can only be read as root: root the phone and allow root access for the Shell in "
      "its root manager (Magisk, SuperSU), then try again.";
  if (askTimedOut) {
    message += " (su did not answer in time: look on the phone for a root request to grant.)";
  }
  return Failed(HelperStatus::kNoRoot, message);
}

}  // namespace

const char* RootFormName(RootForm form) {
  switch (form) {
    case RootForm::kNone: return "none";
    case RootForm::kAdbdRoot: return "adbd running as root";
    case RootForm::kSuDashC: return "su -c";
    case RootForm::kSuZero: return "su 0";
    case RootForm::kSuRoot: return "su root";
  }
  return "none";
}

std::string RootCommand(RootForm form, const std::string& command) {
  switch (form) {
    case RootForm::kNone:
    case RootForm::kAdbdRoot: return command;
    case RootForm::kSuDashC: return "su -c '" + command + "'";
    case RootForm::kSuZero: return "su 0 " + command;
    case RootForm::kSuRoot: return "su root " + command;
  }
  return command;
}

bool ShowsRootId(const std::string& output) {
  for (std::size_t at = output.find("uid=0"); at != std::string::npos; at = output.find("uid=0", at + 1)) {
    const std::size_t after = at + 5;
    const bool atWordStart = at == 0 || !std::isalnum(static_cast<unsigned char>(output[at - 1]));
    if (atWordStart && (after == output.size() || !std::isdigit(static_cast<unsigned char>(output[after])))) {
      return true;
    }
  }
  return false;
}

std::optional<std::uint64_t> ParseStatSize(const std::string& output) { return decimal(trim(output)); }

std::optional<std::uint64_t> ParseLsSize(const std::string& output) {
  const std::vector<std::string> lines = linesOf(output);
  if (lines.empty()) return std::nullopt;
  const std::vector<std::string> words = wordsOf(lines.front());
  for (std::size_t index = 1; index < words.size(); ++index) {
    if (isIsoDate(words[index]) || isMonthName(words[index])) return decimal(words[index - 1]);
  }
  return std::nullopt;
}

StepResult ClassifyAdbComplaint(const std::string& output) {
  const std::vector<std::string> lines = meaningfulLines(output);
  const std::string last = lines.empty() ? std::string() : lines.back();
  if (contains(output, "unauthorized")) {
    return Failed(HelperStatus::kUnauthorised,
                  "the phone has not allowed USB debugging from this computer: unlock the phone and accept the "
                  "'Allow USB debugging?' prompt (tick 'Always allow from this computer'), then try again");
  }
  if (contains(output, "no devices") || contains(output, "no emulators") || contains(output, "device not found") ||
      contains(output, "device '") || last == "unknown") {
    return Failed(HelperStatus::kNoDevice,
                  "no phone found: connect the phone by USB, turn on USB debugging in its Developer options, "
                  "and choose a USB mode that allows it (file transfer)");
  }
  if (contains(output, "offline")) {
    return Failed(HelperStatus::kDeviceNotReady,
                  "the phone is offline: unplug it, plug it in again, unlock it and try again");
  }
  if (contains(output, "more than one")) {
    return Failed(HelperStatus::kDeviceNotReady,
                  "more than one phone or emulator is connected: leave only the phone to rescue connected (or "
                  "name it in the ANDROID_SERIAL environment variable)");
  }
  for (const char* mode : {"bootloader", "sideload", "rescue"}) {
    if (last == mode) {
      return Failed(HelperStatus::kDeviceNotReady,
                    std::string("the phone is in ") + mode + " mode: start Android normally and try again");
    }
  }
  return Failed(HelperStatus::kFailed, "adb failed: " + firstLine(output));
}

AdbPhone::AdbPhone(std::string adbProgram, AdbLimits limits) : adbProgram_(std::move(adbProgram)), limits_(limits) {}

platform::ProcessResult AdbPhone::runAdb(const std::vector<std::string>& args, std::chrono::milliseconds limit,
                                         const std::string& outputFile) const {
  std::vector<std::string> argv{adbProgram_};
  argv.insert(argv.end(), args.begin(), args.end());
  platform::ProcessOptions options;
  options.timeLimit = limit;
  options.hidden = true;
  options.outputFile = outputFile;
  options.captureOutput = true;
  options.ownGroup = false;
  return platform::RunProcess(argv, options);
}

StepResult AdbPhone::runFailure(const platform::ProcessResult& result, const std::string& what,
                                std::chrono::milliseconds limit) const {
  if (!result.started) {
    return Failed(HelperStatus::kNoAdb, "cannot run adb (" + adbProgram_ + "): " + result.error +
                                            ". Install a working adb (Debian and Ubuntu: apt install adb) or make "
                                            "this one a program that may be run");
  }
  if (result.timedOut) {
    return Failed(HelperStatus::kDeviceNotReady,
                  what + ": adb did not finish within " + seconds(limit) +
                      "; unplug the phone, plug it in again and try again");
  }
  return ClassifyAdbComplaint(result.output);
}

StepResult AdbPhone::checkDevice() {
  const platform::ProcessResult state = runAdb({"get-state"}, limits_.query);
  if (!state.started || state.timedOut) return runFailure(state, "asking for the phone", limits_.query);
  const std::vector<std::string> lines = meaningfulLines(state.output);
  const std::string last = lines.empty() ? std::string() : lines.back();
  if (state.exitCode == 0 && (last == "device" || last == "recovery")) return Succeeded();
  return ClassifyAdbComplaint(state.output);
}

StepResult AdbPhone::findRoot() {
  root_ = RootForm::kNone;
  rootAskTimedOut_ = false;
  const platform::ProcessResult id = runAdb({"shell", "id"}, limits_.query);
  if (!id.started || id.timedOut) return runFailure(id, "asking the phone for its user", limits_.query);
  if (ShowsRootId(id.output)) {
    root_ = RootForm::kAdbdRoot;
    return Succeeded();
  }
  if (contains(id.output, "error:")) return ClassifyAdbComplaint(id.output);
  for (const RootForm form : kSuForms) {
    const platform::ProcessResult probe = runAdb({"shell", RootCommand(form, "id")}, limits_.query);
    if (!probe.started) return runFailure(probe, "asking for root", limits_.query);
    if (probe.timedOut) {
      rootAskTimedOut_ = true;
      continue;
    }
    if (ShowsRootId(probe.output)) {
      root_ = form;
      return Succeeded();
    }
  }
  return Succeeded();
}

StepResult AdbPhone::connect(bool needRoot) {
  StepResult result = checkDevice();
  if (!result.ok()) return result;
  result = findRoot();
  if (!result.ok()) return result;
  if (needRoot && root_ == RootForm::kNone) return noRoot(rootAskTimedOut_);
  return Succeeded();
}

StepResult AdbPhone::sizeFrom(const std::string& phonePath, const std::string& command, std::uint64_t& size,
                              bool& understood) {
  understood = false;
  const platform::ProcessResult reply = runAdb({"shell", RootCommand(root_, command)}, limits_.query);
  if (!reply.started || reply.timedOut) {
    understood = true;
    return runFailure(reply, "asking for the size of " + phonePath, limits_.query);
  }
  const std::optional<std::uint64_t> parsed =
      command.rfind("stat", 0) == 0 ? ParseStatSize(reply.output) : ParseLsSize(reply.output);
  if (parsed) {
    understood = true;
    size = *parsed;
    return Succeeded();
  }
  if (contains(reply.output, "No such file")) {
    understood = true;
    return missingFile(phonePath);
  }
  if (contains(reply.output, "Permission denied") && root_ == RootForm::kNone) {
    understood = true;
    return noRoot(rootAskTimedOut_);
  }
  if (contains(reply.output, "error:")) {
    understood = true;
    return ClassifyAdbComplaint(reply.output);
  }
  return Failed(HelperStatus::kFailed,
                "cannot learn the size of " + phonePath + " on the phone: " + firstLine(reply.output));
}

StepResult AdbPhone::statFile(const std::string& phonePath, std::uint64_t& size) {
  bool understood = false;
  StepResult result = sizeFrom(phonePath, "stat -c %s " + phonePath, size, understood);
  if (understood) return result;
  // Phones before Android 6 have no "stat -c": read the size from "ls -l".
  StepResult fromList = sizeFrom(phonePath, "ls -l " + phonePath, size, understood);
  return understood ? fromList : result;
}

StepResult AdbPhone::readFile(const std::string& phonePath, const std::string& localPath) {
  const platform::ProcessResult pulled = runAdb({"pull", phonePath, localPath}, limits_.transfer);
  if (pulled.started && !pulled.timedOut && pulled.exitCode == 0) return Succeeded();
  if (root_ == RootForm::kNone || root_ == RootForm::kAdbdRoot) {
    if (!pulled.started || pulled.timedOut) return runFailure(pulled, "copying " + phonePath, limits_.transfer);
    if (contains(pulled.output, "No such file")) return missingFile(phonePath);
    if (contains(pulled.output, "Permission denied") && root_ == RootForm::kNone) return noRoot(rootAskTimedOut_);
    return Failed(HelperStatus::kFailed, "adb pull of " + phonePath + " failed: " + firstLine(pulled.output));
  }
  // The shell's errors stay out of the file's bytes.
  const platform::ProcessResult streamed =
      runAdb({"exec-out", RootCommand(root_, "cat " + phonePath) + " 2>/dev/null"}, limits_.transfer, localPath);
  if (!streamed.started || streamed.timedOut) return runFailure(streamed, "copying " + phonePath, limits_.transfer);
  if (streamed.exitCode != 0) {
    return Failed(HelperStatus::kFailed, "adb exec-out of " + phonePath + " failed: " + firstLine(streamed.output));
  }
  return Succeeded();
}

StepResult AdbPhone::describeDevice(DeviceFacts& facts) {
  // One answer line each; an empty or failed answer leaves the fact empty.
  const auto ask = [this](const std::vector<std::string>& args) {
    const platform::ProcessResult reply = runAdb(args, limits_.query);
    if (!reply.started || reply.timedOut || reply.exitCode != 0) return std::string();
    const std::vector<std::string> lines = meaningfulLines(reply.output);
    return lines.empty() ? std::string() : lines.front();
  };
  facts.model = ask({"shell", "getprop", "ro.product.model"});
  facts.androidVersion = ask({"shell", "getprop", "ro.build.version.release"});
  facts.serial = ask({"get-serialno"});
  if (facts.serial == "unknown") facts.serial.clear();
  return Succeeded();
}

std::string AdbPhone::describeAccess() const {
  return std::string("adb (") + adbProgram_ + "), root through " + RootFormName(root_);
}

}  // namespace adbhelper
