// The shared rule of every request/reply exchange: owed bytes, a silent line after, bounded
// repeats.
#include "link/exchange.h"

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <vector>

#include "link/byte_link.h"
#include "support/scripted_host.h"

namespace ardenvis::core {
namespace {

// A line that plays back what a test queued: a byte, or nullopt for one read
// time-out of silence; an empty queue is silence.
class QueuedLine : public SerialDevice {
 public:
  std::deque<std::optional<uint8_t>> incoming;
  bool open(const LineSettings&) override { return true; }
  void close() override {}
  std::optional<uint8_t> try_read_byte() override {
    if (incoming.empty()) return std::nullopt;
    const std::optional<uint8_t> b = incoming.front();
    incoming.pop_front();
    return b;
  }
  void write_byte(uint8_t) override {}
};

struct ExchangeTest : ::testing::Test {
  QueuedLine line;
  UnitLink link;
  ardenvis::testing::ScriptedHost host;
  ExchangeTest() { link.port = &line; }
};

TEST_F(ExchangeTest, OwedBytesFailOnTheFirstTimeOutAndSilenceIsNeverAByte) {
  line.incoming = {1, 2, std::nullopt, 4};
  uint8_t out[4] = {9, 9, 9, 9};
  EXPECT_FALSE(read_owed(link, host, out, 4));
  EXPECT_EQ(out[0], 1);
  EXPECT_EQ(out[1], 2);
  EXPECT_EQ(out[2], 9);  // nothing stored for the silence

  line.incoming = {0, 7};
  uint8_t two[2] = {};
  EXPECT_TRUE(read_owed(link, host, two, 2));
  EXPECT_EQ(two[1], 7);
}

TEST_F(ExchangeTest, ALeftoverByteMeansTheExchangeWasOutOfStep) {
  EXPECT_TRUE(line_is_silent(link, host));
  line.incoming = {5};
  EXPECT_FALSE(line_is_silent(link, host));
}

TEST_F(ExchangeTest, AReadIsRepeatedAfterTheLineSettlesAndGivesUpAtTheBound) {
  int runs = 0;
  line.incoming = {1, 2, 3};  // left over from a corrupted reply
  EXPECT_TRUE(repeat_read_exchange(link, host, [&] { return ++runs == 2; }));
  EXPECT_EQ(runs, 2);
  EXPECT_TRUE(line.incoming.empty());  // settled before the repeat

  runs = 0;
  EXPECT_FALSE(repeat_read_exchange(link, host, [&] {
    ++runs;
    return false;
  }));
  EXPECT_EQ(runs, kReadExchangeAttempts);
}

TEST_F(ExchangeTest, ALineThatNeverGoesQuietFailsTheRepeat) {
  line.incoming.assign(static_cast<size_t>(kExchangeDrainLimit) + 10, uint8_t{0x55});
  int runs = 0;
  EXPECT_FALSE(repeat_read_exchange(link, host, [&] {
    ++runs;
    return false;
  }));
  EXPECT_EQ(runs, 1);
}

}  // namespace
}  // namespace ardenvis::core
