#pragma once
// The in-process simulated unit on COM1 with a scripted host and program state,
// for the log index and download tests.

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "link/commands.h"
#include "link/unit_session.h"
#include "logger/log_index.h"
#include "sim/log_memory.h"
#include "sim/simulated_port.h"
#include "state/program_state.h"
#include "support/scripted_host.h"

namespace ardenvis::testing {

struct LoggerBench {
  sim::SimulatedUnit unit;
  sim::SimulatedPort port{unit};
  ScriptedHost host;
  core::ProgramState state;

  LoggerBench() {
    state.link.port = &port;
    state.link.serial_port_number = 1;
    core::open_serial_port(state.link, 1);
    // Silence costs the 50 ms a real read time-out takes, so watchdogs tick.
    port.on_silence = [this](int ms) { host.clock.advance(ms); };
  }
  sim::LogMemory& memory() { return unit.log_memory(); }
  void firmware(int version) { sim::set_firmware_version(unit.options(), version); }

  int sent(uint8_t command) const { return unit.command_count(command); }

  // Counts the events processed while the line stood idle between one block
  // request and the next (the unit had sent all it owed and the program had
  // not asked for the next block yet): time the line is lost to the window.
  void watch_gaps_between(uint8_t block_request) {
    host.on_process_events = [this, block_request] {
      if (!unit.has_output()) idle_after_block.push_back(sent(block_request));
    };
  }
  int events_between_blocks(uint8_t block_request) const {
    return static_cast<int>(
        std::count_if(idle_after_block.begin(), idle_after_block.end(),
                      [&](int blocks) { return blocks >= 1 && blocks < sent(block_request); }));
  }
  std::vector<int> idle_after_block;
};

// n sample records of 12 bytes (header 0x59, payload p1..p11), each a little
// different so that a misplaced byte shows.
inline std::vector<uint8_t> sample_records(int n) {
  std::vector<uint8_t> bytes;
  for (int i = 0; i < n; ++i) {
    const uint8_t k = static_cast<uint8_t>(i);
    const uint8_t record[12] = {0x59, k, 2, 0xC0, 100, 0x0F, 0xA0, 40, 20, 0x22, 0, k};
    bytes.insert(bytes.end(), record, record + 12);
  }
  return bytes;
}

}  // namespace ardenvis::testing
