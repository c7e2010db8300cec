#include "common/format.h"

#include <clocale>

#include <gtest/gtest.h>

namespace ardenvis::core {
namespace {

TEST(Format, UsesPointWhateverTheLocale) {
  // A locale with a decimal comma, where one exists on this machine.
  const char* previous = std::setlocale(LC_NUMERIC, nullptr);
  std::string saved = previous ? previous : "C";
  std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
  EXPECT_EQ(format("%.2f", 1.5), "1.50");
  EXPECT_EQ(format("%3.0f|%5d|%.2d", 7.4, 42, 4), "  7|   42|04");
  std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(Format, LongOutput) {
  std::string long_text(1000, 'x');
  EXPECT_EQ(format("%s!", long_text.c_str()), long_text + "!");
}

}  // namespace
}  // namespace ardenvis::core
