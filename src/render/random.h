// The program-wide random generator.
//
// One generator serves the whole program: fast, seedable for tests and the headless
// renderer, seeded from the clock otherwise. Rnd() is one uniform draw in [0, 1), never 1.
#pragma once

#include <cstdint>

namespace lmvn {

class RandomGenerator {
 public:
  explicit RandomGenerator(std::uint64_t seed = 0x4c4d564e) { Seed(seed); }

  void Seed(std::uint64_t seed);
  void SeedFromClock();
  std::uint64_t seed() const { return seed_; }

  // Uniform in [0, 1): 24 random bits scaled by 2^-24, so 1.0 can never come out.
  float Next() { return static_cast<float>(NextBits() >> 40) * (1.0f / 16777216.0f); }
  std::uint64_t NextBits();

 private:
  std::uint64_t state_[4];
  std::uint64_t seed_ = 0;
};

// The single generator of the program.
RandomGenerator& ProgramRandom();

inline float Rnd() {
  return ProgramRandom().Next();
}

}  // namespace lmvn
