// The seeded line faults on the simulated unit's output: reproducible, as
// many as asked for, and never one of the patterns the protocol cannot see.

#include "sim/line_faults.h"

#include <gtest/gtest.h>

#include <numeric>

#include "link/commands.h"
#include "sim/simulated_port.h"

namespace ardenvis::sim {
namespace {

using Strike = LineFaultInjector::Strike;

std::vector<uint8_t> counting_reply(size_t length, uint8_t from) {
  std::vector<uint8_t> reply(length);
  std::iota(reply.begin(), reply.end(), from);
  return reply;
}

// Every strike of `transfers` transfers of `replies` replies of `length`
// bytes each, one list per reply.
std::vector<std::vector<Strike>> strikes_of(LineFaultInjector& injector, int transfers, int replies,
                                            size_t length, ReplyCheck check) {
  std::vector<std::vector<Strike>> all;
  for (int t = 0; t < transfers; ++t) {
    injector.start_transfer(length * static_cast<size_t>(replies));
    for (int r = 0; r < replies; ++r) {
      all.push_back(injector.strike({core::command::read_config, static_cast<uint8_t>(r % 3)},
                                    counting_reply(length, static_cast<uint8_t>(r)), check));
    }
  }
  return all;
}

bool same(const Strike& a, const Strike& b) {
  return a.kind == b.kind && a.at == b.at && a.value == b.value && a.ms == b.ms;
}

TEST(LineFaults, TheSameSeedGivesTheSameFaults) {
  LineFaultInjector a({7, 1.5}), b({7, 1.5}), other({8, 1.5});
  const auto first = strikes_of(a, 200, 10, 30, ReplyCheck::Checked);
  const auto second = strikes_of(b, 200, 10, 30, ReplyCheck::Checked);
  const auto third = strikes_of(other, 200, 10, 30, ReplyCheck::Checked);
  ASSERT_EQ(first.size(), second.size());
  bool differs = false;
  for (size_t i = 0; i < first.size(); ++i) {
    ASSERT_EQ(first[i].size(), second[i].size());
    for (size_t k = 0; k < first[i].size(); ++k) EXPECT_TRUE(same(first[i][k], second[i][k]));
    differs = differs || first[i].size() != third[i].size();
  }
  EXPECT_TRUE(differs);
  EXPECT_EQ(a.summary(), b.summary());
}

TEST(LineFaults, ZeroToThreeFaultsATransferAtTheDefaultRateAndEveryKindFires) {
  LineFaultInjector injector({3, 1.5});
  const int transfers = 2000;
  int most = 0;
  for (int t = 0; t < transfers; ++t) {
    const int before = injector.fired_total();
    // One long reply, so no rule holds a planned fault back except one
    // change to a reply.
    injector.start_transfer(100000);
    for (int r = 0; r < 1000; ++r) injector.strike({'f', 254}, counting_reply(100, 1), {});
    most = std::max(most, injector.fired_total() - before);
  }
  EXPECT_LE(most, 3);
  EXPECT_NEAR(static_cast<double>(injector.fired_total()) / transfers, 1.5, 0.1);
  for (int k = 0; k < kLineFaultKinds; ++k) {
    EXPECT_GT(injector.fired(static_cast<LineFault>(k)), transfers / 10) << k;
  }
  EXPECT_EQ(injector.transfers(), transfers);
}

TEST(LineFaults, NoPatternTheProtocolCannotSee) {
  for (ReplyCheck check : {ReplyCheck::Checked, ReplyCheck::Unchecked}) {
    LineFaultInjector injector({11, 30});  // many faults, so the rules are what holds them back
    // Short replies repeated for the same three requests, as agreeing copies are read.
    const auto all = strikes_of(injector, 300, 12, 8, check);
    int changes = 0;
    for (size_t i = 0; i < all.size(); ++i) {
      const auto reply = counting_reply(8, static_cast<uint8_t>(i % 12));
      int content = 0;
      for (const Strike& s : all[i]) {
        const bool changing =
            s.kind == LineFault::Drop || s.kind == LineFault::Noise || s.kind == LineFault::Flip;
        content += changing;
        if (s.kind == LineFault::Noise) {
          EXPECT_NE(s.value, reply.back());
          EXPECT_NE(s.value, reply[s.at]);
        }
        if (check == ReplyCheck::Unchecked && changing) {
          EXPECT_EQ(s.kind, LineFault::Drop);
          EXPECT_GE(s.at, 2u);
        }
        if (s.kind == LineFault::Flip) {
          EXPECT_EQ(__builtin_popcount(s.value), 1);
        }
        if (s.kind == LineFault::LateReply) {
          EXPECT_EQ(s.at, 0u);
        }
        if (s.kind == LineFault::Pause) {
          EXPECT_TRUE(s.ms >= 20 && s.ms <= 3000) << s.ms;
        }
      }
      EXPECT_LE(content, 1) << "reply " << i;
      changes += content;
      // Within one transfer, no change repeats on the same request's reply.
      const size_t transfer = i / 12;
      for (size_t j = transfer * 12; j < i; ++j) {
        if (j % 3 != i % 3) continue;
        for (const Strike& s : all[i]) {
          for (const Strike& t : all[j]) {
            const bool changing = s.kind == LineFault::Flip || s.kind == LineFault::Noise ||
                                  s.kind == LineFault::Drop;
            if (changing) {
              EXPECT_FALSE(same(s, t)) << "replies " << j << " and " << i;
            }
          }
        }
      }
    }
    EXPECT_GT(changes, 100);
  }
}

// In the unit: what the program reads is the clean reply with the faults
// applied, and a pause or silence shows as reads that time out.
TEST(LineFaults, TheUnitsOutputCarriesTheFaults) {
  SimulatedUnit clean_unit;
  SimulatedPort clean_port{clean_unit};
  clean_port.open({});
  clean_port.write_byte(core::command::identity);
  std::vector<uint8_t> clean;
  while (auto b = clean_port.try_read_byte()) clean.push_back(*b);
  ASSERT_EQ(clean.size(), 16u);

  SimulatedUnit unit;
  SimulatedPort port{unit};
  port.open({});
  unit.set_line_faults({5, 3}, false);
  int differing = 0;
  for (int t = 0; t < 300; ++t) {
    unit.line_faults()->start_transfer(16);
    port.write_byte(core::command::identity);
    std::vector<uint8_t> read;
    // A pause (up to 3 s) and a late reply (up to 1.5 s) on one byte are up
    // to 90 silent reads; the reply is over after 100.
    for (int silent = 0; silent <= 100;) {
      if (auto b = port.try_read_byte()) {
        read.push_back(*b);
        silent = 0;
      } else {
        ++silent;
      }
    }
    differing += read != clean;
    EXPECT_LE(read.size(), 17u);
  }
  const LineFaultInjector& faults = *unit.line_faults();
  EXPECT_EQ(faults.transfers(), 300);
  // Three faults a transfer: at most one changes the reply, and silence cuts it.
  EXPECT_GE(differing, 150);
  EXPECT_GT(port.silent_reads(), 300 * 101);
}

}  // namespace
}  // namespace ardenvis::sim
