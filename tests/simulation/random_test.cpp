#include "simulation/random.h"

#include <gtest/gtest.h>

#include "test_files.h"

namespace dravik {
namespace {

TEST(LaggedAdditiveGenerator, WarmUpLeavesIndicesAndTheDocumentedSequence) {
  LaggedAdditiveGenerator g;
  EXPECT_EQ(g.laggedIndex(), 14);
  EXPECT_EQ(g.currentIndex(), 45);
  EXPECT_EQ(g.steps(), 1000u);
  const int expected[] = {11314, 1077, 7144, 4623, 8326, 12357};
  for (int v : expected) EXPECT_EQ(g.step(), v);
}

TEST(LaggedAdditiveGenerator, EveryDeviateIsTheRoundedQuotient) {
  // The deviates are formed by multiplying with the reciprocal; for each of the
  // 16385 numerators the result must be the rounded double quotient n/16384.1.
  for (std::int32_t v = 0; v < LaggedAdditiveGenerator::kModulus; ++v) {
    ASSERT_EQ(LaggedAdditiveGenerator::positiveDeviateOf(v),
              static_cast<float>((v + 1) / 16384.099609375))
        << v;
    LaggedAdditiveGenerator g;  // a zero-based deviate of stored value v
    g.setEntry(g.laggedIndex(), 0);
    g.setEntry(g.currentIndex(), v);
    ASSERT_EQ(g.nextZeroBasedDeviate(), static_cast<float>(v / 16384.099609375)) << v;
  }
}

TEST(LaggedAdditiveGenerator, DeviateForms) {
  LaggedAdditiveGenerator a;
  EXPECT_FLOAT_EQ(a.nextPositiveDeviate(), 0.6906086f);
  EXPECT_FLOAT_EQ(a.nextPositiveDeviate(), 0.0657955f);
  EXPECT_EQ(a.nextPositiveDeviate(), static_cast<float>(7145.0 / 16384.099609375));

  LaggedAdditiveGenerator b;
  EXPECT_FLOAT_EQ(b.nextZeroBasedDeviate(), 0.6905476f);
  // Mixing the forms leaves the stored sequence unchanged.
  EXPECT_EQ(b.step(), 1077);
}

TEST(LaggedAdditiveGenerator, ExtremeStoredValues) {
  // Force the next stored value: table(k) = (table(j) + table(k)) mod 16384.
  LaggedAdditiveGenerator g;
  g.setEntry(g.laggedIndex(), 0);
  g.setEntry(g.currentIndex(), 0);
  EXPECT_EQ(g.nextZeroBasedDeviate(), 0.0f);
  g.setEntry(g.laggedIndex(), 0);
  g.setEntry(g.currentIndex(), 0);
  EXPECT_EQ(g.nextPositiveDeviate(), static_cast<float>(1.0 / 16384.099609375));
  g.setEntry(g.laggedIndex(), 16000);
  g.setEntry(g.currentIndex(), 383);
  const float top = g.nextPositiveDeviate();
  EXPECT_EQ(top, static_cast<float>(16384.0 / 16384.099609375));
  EXPECT_LT(top, 1.0f);
}

TEST(LaggedAdditiveGenerator, IndicesWrapTogether31Apart) {
  LaggedAdditiveGenerator g;
  for (int n = 0; n < 200; ++n) {
    g.step();
    ASSERT_EQ(((g.currentIndex() - g.laggedIndex()) % 55 + 55) % 55, 31);
    ASSERT_GE(g.laggedIndex(), 1);
    ASSERT_LE(g.currentIndex(), 55);
  }
}

// Golden transcript: the first stored values after warm-up, fixed forever.
TEST(LaggedAdditiveGenerator, GoldenTranscript) {
  LaggedAdditiveGenerator g;
  std::string transcript;
  for (int n = 0; n < 40; ++n) transcript += std::to_string(g.step()) + (n % 10 == 9 ? "\n" : " ");
  EXPECT_EQ(transcript, testing::readBytes(testing::fixture("random_transcript.txt")));
}

}  // namespace
}  // namespace dravik
