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
// time-out of silence; an empty queue is silence. Each byte written queues the
// next of the scripted replies, as a unit answering requests would.
class QueuedLine : public SerialDevice {
 public:
  std::deque<std::optional<uint8_t>> incoming;
  std::deque<std::vector<std::optional<uint8_t>>> replies;
  bool open(const LineSettings&) override { return true; }
  void close() override {}
  std::optional<uint8_t> try_read_byte() override {
    if (incoming.empty()) return std::nullopt;
    const std::optional<uint8_t> b = incoming.front();
    incoming.pop_front();
    return b;
  }
  void write_byte(uint8_t) override {
    if (replies.empty()) return;
    incoming.insert(incoming.end(), replies.front().begin(), replies.front().end());
    replies.pop_front();
  }
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

TEST_F(ExchangeTest, AReplyWithoutACheckIsKeptWhenTwoCopiesInARowAgree) {
  using Reply = std::vector<std::optional<uint8_t>>;
  const Reply good = {1, 2, 3};
  struct Case {
    const char* what;
    std::vector<Reply> replies;
    bool agreed;
    int copies;
  };
  const Case cases[] = {
      {"clean", {good, good}, true, 2},
      {"one copy corrupted", {{1, 9, 3}, good, good}, true, 3},
      // The extra byte shifts the next copy and is still on the line after it.
      {"a byte too many", {{1, 7, 2, 3}, good, good, good}, true, 4},
      {"a byte missing", {{1, std::nullopt}, good, good}, true, 3},
      {"never agreeing",
       {{1, 1, 1}, {2, 2, 2}, {3, 3, 3}, {4, 4, 4}, good},
       false,
       kReadExchangeAttempts + 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    line.incoming.clear();
    line.replies.assign(c.replies.begin(), c.replies.end());
    int copies = 0;
    std::vector<uint8_t> reply;
    const bool agreed = read_agreeing_copies(
        link, host,
        [&](std::vector<uint8_t>& copy) {
          ++copies;
          link.write('?');
          copy.resize(3);
          return read_owed(link, host, copy.data(), copy.size());
        },
        reply);
    EXPECT_EQ(agreed, c.agreed);
    EXPECT_EQ(copies, c.copies);
    if (c.agreed) {
      EXPECT_EQ(reply, (std::vector<uint8_t>{1, 2, 3}));
    }
    EXPECT_TRUE(line.incoming.empty());
  }
}

TEST_F(ExchangeTest, ACheckedReadNamesWhyItFailed) {
  // Out of step once (a byte left over), then in step.
  int runs = 0;
  EXPECT_EQ(repeat_checked_read(link, host,
                                [&] {
                                  if (++runs == 1) line.incoming = {9};
                                  return true;
                                }),
            ReadOutcome::Ok);
  EXPECT_EQ(runs, 2);
  EXPECT_EQ(repeat_checked_read(link, host, [] { return false; }), ReadOutcome::NoReply);
  EXPECT_EQ(repeat_checked_read(link, host,
                                [&] {
                                  line.incoming = {9};
                                  return true;
                                }),
            ReadOutcome::Garbled);
}

// Two passes over four bytes; the unit's bytes are 10, 20, 30, 40.
struct AgreedReadTest : ExchangeTest {
  std::vector<std::vector<uint8_t>> passes;    // what each pass brings
  std::deque<std::optional<uint8_t>> singles;  // what each single read brings
  std::vector<size_t> single_reads;            // the index of each single read
  std::vector<uint8_t> out;
  ReadOutcome run() {
    size_t pass = 0;
    return read_agreed(
        link, host, 4,
        [&](uint8_t* to) {
          const std::vector<uint8_t>& bytes = passes.at(pass++);
          std::copy(bytes.begin(), bytes.end(), to);
          return bytes.size() == 4;
        },
        [&](size_t i) {
          single_reads.push_back(i);
          const std::optional<uint8_t> b = singles.front();
          singles.pop_front();
          return b;
        },
        out);
  }
};

TEST_F(AgreedReadTest, PassesThatAgreeNeedNoMoreReads) {
  passes = {{10, 20, 30, 40}, {10, 20, 30, 40}};
  EXPECT_EQ(run(), ReadOutcome::Ok);
  EXPECT_EQ(out, (std::vector<uint8_t>{10, 20, 30, 40}));
  EXPECT_TRUE(single_reads.empty());
}

TEST_F(AgreedReadTest, AByteThePassesDisagreeOnTakesTheValueThatComesTwice) {
  passes = {{10, 20 ^ 0x04, 30, 40}, {10, 20, 30, 40}};
  singles = {20};
  EXPECT_EQ(run(), ReadOutcome::Ok);
  EXPECT_EQ(out, (std::vector<uint8_t>{10, 20, 30, 40}));
  EXPECT_EQ(single_reads, (std::vector<size_t>{1}));

  // A third value first, then one already seen.
  single_reads.clear();
  passes = {{10, 20, 31, 40}, {10, 20, 30, 40}};
  singles = {std::nullopt, 32, 30};
  EXPECT_EQ(run(), ReadOutcome::Ok);
  EXPECT_EQ(out[2], 30);
  EXPECT_EQ(single_reads, (std::vector<size_t>{2, 2, 2}));
}

TEST_F(AgreedReadTest, AByteThatNeverSettlesFailsAtTheBound) {
  passes = {{10, 21, 30, 40}, {10, 22, 30, 40}};
  singles = {23, 24, 25, 26, 27};
  EXPECT_EQ(run(), ReadOutcome::Garbled);
  EXPECT_EQ(single_reads.size(), static_cast<size_t>(kReadExchangeAttempts));

  single_reads.clear();
  passes = {{10, 21, 30, 40}, {10, 22, 30, 40}};
  singles = {std::nullopt, std::nullopt, std::nullopt};
  EXPECT_EQ(run(), ReadOutcome::NoReply);
}

TEST_F(AgreedReadTest, APassThatTimesOutIsRunAgain) {
  passes = {{10, 20}, {10, 20, 30, 40}, {10, 20, 30, 40}};
  EXPECT_EQ(run(), ReadOutcome::Ok);
  EXPECT_EQ(out, (std::vector<uint8_t>{10, 20, 30, 40}));
}

}  // namespace
}  // namespace ardenvis::core
