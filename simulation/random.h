// The simulation's one random number source: a lagged additive (Fibonacci)
// generator over 55 integers modulo 16384 with a fixed seed. A run is
// reproducible number for number because the sequence never restarts and every
// part of the transport draws exactly the deviates it needs, in a fixed order.
#pragma once

#include <array>
#include <cstdint>

namespace dravik {

class LaggedAdditiveGenerator {
 public:
  static constexpr std::int32_t kModulus = 16384;
  // The real divisor, held in single precision (exactly 16384.099609375).
  static constexpr float kDivisor = 16384.1f;
  static constexpr int kLength = 55;

  // Fills the table from the fixed seed and runs the 1000 warm-up steps.
  LaggedAdditiveGenerator() { setUp(); }
  void setUp();
  // Fills the table with `values` (each reduced modulo 16384), sets the indices
  // to 24 and 55 and runs the same 1000 warm-up steps: the start of an
  // independent stream (see makeStream in engine.h). At least one entry must be
  // odd, or every value the generator ever stores is even.
  void setUp(const std::array<std::int32_t, kLength>& values);

  // One step: stores table(k) = (table(j) + table(k)) mod 16384 and returns it;
  // both indices move down by one and wrap from 1 to 55.
  std::int32_t step() {
    // Both terms lie in 0 ... 16383, so their sum is non-negative and the
    // remainder modulo 2^14 is its low 14 bits.
    static_assert((kModulus & (kModulus - 1)) == 0, "the modulus is a power of two");
    std::int32_t v = (table_[j_] + table_[k_]) & (kModulus - 1);
    table_[k_] = v;
    if (--j_ == 0) j_ = kLength;
    if (--k_ == 0) k_ = kLength;
    ++steps_;
    return v;
  }

  // (v + 1)/16384.1: in (0, 1), never 0 and never 1.
  float nextPositiveDeviate() { return toDeviate(step() + 1); }
  // The positive deviate of a stored value v, for tables indexed by v.
  static float positiveDeviateOf(std::int32_t v) { return toDeviate(v + 1); }
  // v/16384.1: in [0, 1), can be exactly 0.
  float nextZeroBasedDeviate() { return toDeviate(step()); }

  // Observable state, for tests and accounting.
  std::uint64_t steps() const { return steps_; }  // steps since construction, warm-up included
  int laggedIndex() const { return j_; }
  int currentIndex() const { return k_; }
  std::int32_t entry(int i) const { return table_[i]; }    // 1 ... 55
  void setEntry(int i, std::int32_t v) { table_[i] = v; }  // test set-up only

 private:
  // The one conversion from an integer to a real: the quotient n/16384.1 formed
  // in double precision and rounded to single precision. It is formed as a
  // product with the double reciprocal, which is cheaper than a division; for
  // every n the generator can give (0 ... 16384) the rounded product is the same
  // single-precision number as the rounded quotient (the test suite checks all).
  static constexpr double kReciprocal = 1.0 / static_cast<double>(kDivisor);
  static float toDeviate(std::int32_t n) {
    return static_cast<float>(static_cast<double>(n) * kReciprocal);
  }

  std::int32_t table_[kLength + 1] = {};  // positions 1 ... 55; 0 unused
  int j_ = 24;                            // lagged position
  int k_ = 55;                            // position receiving the next value
  std::uint64_t steps_ = 0;
};

}  // namespace dravik
