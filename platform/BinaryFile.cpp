#include "platform/BinaryFile.h"

#include "platform/TextEncoding.h"

namespace platform {

void CloseBinaryFile::operator()(std::FILE* file) const {
  if (file != nullptr) std::fclose(file);
}

BinaryFile openBinaryFile(const std::string& path, BinaryFileMode mode) {
  const bool read = mode == BinaryFileMode::kRead;
#ifdef _WIN32
  return BinaryFile(::_wfopen(wideFromNarrow(path).c_str(), read ? L"rb" : L"wb"));
#else
  return BinaryFile(std::fopen(path.c_str(), read ? "rb" : "wb"));
#endif
}

}  // namespace platform
