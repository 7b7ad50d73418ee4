#include "platform/Sha256.h"

#include <array>
#include <cstdio>
#include <vector>

#include "platform/BinaryFile.h"

#ifdef _WIN32
#include <windows.h>
#include <bcrypt.h>
#else
#include <nettle/sha2.h>
#endif

namespace platform {

namespace {

constexpr std::size_t kDigestBytes = 32;
using Digest = std::array<unsigned char, kDigestBytes>;

std::string hexOf(const Digest& digest) {
  static const char kDigits[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(2 * digest.size());
  for (const unsigned char byte : digest) {
    hex += kDigits[byte >> 4];
    hex += kDigits[byte & 0x0F];
  }
  return hex;
}

// One running hash, fed in pieces.
class Hasher {
 public:
#ifdef _WIN32
  Hasher() {
    ok_ = BCRYPT_SUCCESS(::BCryptOpenAlgorithmProvider(&algorithm_, BCRYPT_SHA256_ALGORITHM, nullptr, 0)) &&
          BCRYPT_SUCCESS(::BCryptCreateHash(algorithm_, &hash_, nullptr, 0, nullptr, 0, 0));
  }
  ~Hasher() {
    if (hash_ != nullptr) ::BCryptDestroyHash(hash_);
    if (algorithm_ != nullptr) ::BCryptCloseAlgorithmProvider(algorithm_, 0);
  }
  void add(const unsigned char* bytes, std::size_t size) {
    // BCrypt takes at most 4 GiB a call; the pieces here are far smaller.
    if (ok_ && size > 0) ok_ = BCRYPT_SUCCESS(::BCryptHashData(hash_, const_cast<PUCHAR>(bytes), static_cast<ULONG>(size), 0));
  }
  bool finish(Digest& digest) {
    return ok_ && BCRYPT_SUCCESS(::BCryptFinishHash(hash_, digest.data(), static_cast<ULONG>(digest.size()), 0));
  }

 private:
  BCRYPT_ALG_HANDLE algorithm_ = nullptr;
  BCRYPT_HASH_HANDLE hash_ = nullptr;
  bool ok_ = false;
#else
  Hasher() { sha256_init(&context_); }
  void add(const unsigned char* bytes, std::size_t size) { sha256_update(&context_, size, bytes); }
  bool finish(Digest& digest) {
    sha256_digest(&context_, digest.size(), digest.data());
    return true;
  }

 private:
  sha256_ctx context_{};
#endif
  Hasher(const Hasher&) = delete;
  Hasher& operator=(const Hasher&) = delete;
};

}  // namespace

std::optional<FileDigest> Sha256OfFile(const std::string& path, std::string& problem) {
  const BinaryFile in = openBinaryFile(path, BinaryFileMode::kRead);
  if (!in) {
    problem = "cannot open " + path;
    return std::nullopt;
  }
  Hasher hasher;
  FileDigest result;
  std::vector<unsigned char> buffer(1 << 16);
  for (;;) {
    const std::size_t got = std::fread(buffer.data(), 1, buffer.size(), in.get());
    hasher.add(buffer.data(), got);
    result.size += got;
    if (got < buffer.size()) break;
  }
  if (std::ferror(in.get())) {
    problem = "cannot read " + path;
    return std::nullopt;
  }
  Digest digest{};
  if (!hasher.finish(digest)) {
    problem = "the system could not compute SHA-256";
    return std::nullopt;
  }
  result.sha256 = hexOf(digest);
  return result;
}

std::string Sha256OfBytes(const std::string& bytes) {
  Hasher hasher;
  hasher.add(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
  Digest digest{};
  return hasher.finish(digest) ? hexOf(digest) : std::string();
}

}  // namespace platform
