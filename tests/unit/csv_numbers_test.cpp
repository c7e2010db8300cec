// The export's number writer against printf itself: the same characters for
// every format the export uses, on the values where rounding is hardest
// (halves, near-halves, -0, tiny and huge numbers) and on a wide random spread.

#include "files/csv_numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>

namespace ardenvis::core {
namespace {

std::string printf_fixed(double v, int precision, int width) {
  char text[400];
  std::snprintf(text, sizeof text, "%*.*f", width, precision, v);
  return text;
}

std::string ours(double v, int precision, int width) {
  char text[kMaxFixedChars + 8];
  return std::string(text, write_fixed(text, v, precision, width));
}

void expect_same(double v) {
  for (int precision = 0; precision <= 2; ++precision) {
    for (int width : {0, 2}) {
      ASSERT_EQ(ours(v, precision, width), printf_fixed(v, precision, width))
          << std::hexfloat << v << " precision " << precision << " width " << width;
    }
  }
  // The forms with the width fixed where they are written ("%2.0f", "%2.1f").
  char text[kMaxFixedChars + 8];
  ASSERT_EQ(std::string(text, write_fixed<0, 2>(text, v)), printf_fixed(v, 0, 2)) << v;
  ASSERT_EQ(std::string(text, write_fixed<1, 2>(text, v)), printf_fixed(v, 1, 2)) << v;
}

TEST(CsvNumbers, SameDigitsAsPrintf) {
  const double cases[] = {0.0,
                          -0.0,
                          0.5,
                          1.5,
                          2.5,
                          -2.5,
                          0.125,
                          0.375,
                          1.005,
                          2.675,
                          0.045,
                          0.05,
                          0.15,
                          0.25,
                          0.35,
                          -0.001,
                          -0.005,
                          9.995,
                          99.5,
                          999.95,
                          1e-300,
                          5e-324,
                          1e15,
                          1e16,
                          1e20,
                          1e300,
                          -1e300,
                          0x1p50,
                          0x1p50 - 0.5,
                          123456789.125,
                          6500.0,
                          -0.45,
                          12.25,
                          4.35,
                          std::numeric_limits<double>::max(),
                          std::nextafter(0.125, 1.0),
                          std::nextafter(0.125, 0.0)};
  for (double v : cases) expect_same(v);
  // Where the quick way hands over: the table's 1000 and 1000000 steps, the
  // 2^31 limit of the scaled value, and values a hair off a half of the last
  // decimal, for each precision.
  for (double scale : {1.0, 0.1, 0.01}) {
    for (double whole : {999.0, 1000.0, 999999.0, 1000000.0, 1e7, 0x1p31, 0x1p31 - 1, 0x1p32}) {
      for (double v :
           {whole * scale, std::nextafter(whole * scale, 0.0), std::nextafter(whole * scale, 1e300),
            (whole + 0.5) * scale, (whole - 0.5) * scale}) {
        expect_same(v);
        expect_same(-v);
      }
    }
    for (double off : {0x1p-18, 0x1p-21, 0x1p-30}) {
      for (double half : {0.5, 2.5, 99.5, 12345.5}) {
        expect_same((half + off) * scale);
        expect_same((half - off) * scale);
      }
    }
  }
  std::mt19937_64 random(11);
  std::uniform_real_distribution<double> exponent(-12, 18);
  std::uniform_int_distribution<int> hundredths(-100000, 100000);
  for (int i = 0; i < 200000; ++i) {
    const double v = std::pow(10.0, exponent(random)) * (i % 2 ? -1 : 1);
    expect_same(v);
    expect_same(hundredths(random) / 100.0);  // the values the export mostly sees
    expect_same(hundredths(random) / 10.0 * 0.97 * 1.6);
  }
}

TEST(CsvNumbers, NotANumberAndInfinityAsToChars) {
  char text[kMaxFixedChars];
  EXPECT_EQ(std::string(text, write_fixed(text, std::numeric_limits<double>::infinity(), 2)),
            "inf");
  EXPECT_EQ(std::string(text, write_fixed(text, std::nan(""), 1)), "nan");
}

TEST(CsvNumbers, Integers) {
  char text[32];
  for (long long v :
       {0LL, 7LL, -7LL, 10LL, 99LL, 100LL, 999LL, 1000LL, 1001LL, 65535LL, 999999LL, 1000000LL,
        -1000000LL, -2147483648LL, 9223372036854775807LL, -9223372036854775807LL - 1}) {
    EXPECT_EQ(std::string(text, write_int(text, v)), std::to_string(v));
  }
  std::mt19937_64 random(5);
  for (int i = 0; i < 100000; ++i) {
    const int shift = 1 + static_cast<int>(random() % 63);  // below 2^63: no overflow on negation
    const auto v = static_cast<long long>(random() >> shift) * (i % 2 ? -1 : 1);
    ASSERT_EQ(std::string(text, write_int(text, v)), std::to_string(v));
  }
}

}  // namespace
}  // namespace ardenvis::core
