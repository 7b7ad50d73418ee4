#pragma once
// SHA-256 of a file, by the system's own implementation: BCrypt on
// Windows, Nettle elsewhere. The evidence record of an acquisition holds
// one per copy.

#include <cstdint>
#include <optional>
#include <string>

namespace platform {

struct FileDigest {
  std::uint64_t size = 0;
  std::string sha256;  // 64 lower-case hexadecimal digits
};

// Reads the file once; nothing when it cannot be read whole (`problem`
// says why).
std::optional<FileDigest> Sha256OfFile(const std::string& path, std::string& problem);

// SHA-256 of bytes in memory, as 64 lower-case hexadecimal digits.
std::string Sha256OfBytes(const std::string& bytes);

}  // namespace platform
