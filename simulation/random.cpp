#include "random.h"

namespace dravik {

void LaggedAdditiveGenerator::setUp() {
  table_[0] = 0;
  table_[1] = 3783;
  for (int i = 2; i <= kLength; ++i) table_[i] = (2 * table_[i - 1] + i) % kModulus;
  j_ = 24;
  k_ = 55;
  steps_ = 0;
  for (int n = 0; n < 1000; ++n) step();
}

void LaggedAdditiveGenerator::setUp(const std::array<std::int32_t, kLength>& values) {
  table_[0] = 0;
  for (int i = 1; i <= kLength; ++i) table_[i] = ((values[i - 1] % kModulus) + kModulus) % kModulus;
  j_ = 24;
  k_ = 55;
  steps_ = 0;
  for (int n = 0; n < 1000; ++n) step();
}

}  // namespace dravik
