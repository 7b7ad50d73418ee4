#pragma once
// The random numbers of the programs that make phone databases: splitmix64,
// tiny, fully specified, identical on every platform, so that two runs give
// byte-identical files.

#include <cstdint>

namespace phone_tools {

class Rng {
 public:
  explicit Rng(std::uint64_t seed) : state_(seed) {}
  std::uint64_t next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  int below(int bound) { return static_cast<int>(next() % static_cast<std::uint64_t>(bound)); }
  int between(int low, int high) { return low + below(high - low + 1); }

 private:
  std::uint64_t state_;
};

}  // namespace phone_tools
