#pragma once
// Decoding of a slot's raw log bytes into its channel series, lap table and CAN
// frame table.
//
// Usage: set state.current_data_set, fill that slot's raw bytes, raw byte count
// and sample rate and state.identity's distance factor and pulses-per-revolution
// code, then call process_data_packets(state, host). It reports every outcome
// in a message box itself; test the slot's loaded flag afterwards.

#include <cstdint>

#include "common/host.h"
#include "state/program_state.h"

namespace ardenvis::core {

namespace message {
inline constexpr const char* not_enough_data = "Not Enough Data to Process...";
inline constexpr const char* stopped_processing = "Stopped Processing Pelorant Data [%d,%d,%d,%d]";
inline constexpr const char* processing_cancelled = "Processing Cancelled...";
inline constexpr const char* no_valid_data = "No Valid Data Processed...";
inline constexpr const char* processed_bytes = "Processed %d bytes of Data";
inline constexpr const char* decoding_fault =
    "Problem Processing Download Data!\nSave to File for Orvik to Check?";
inline constexpr const char* can_data_count = "Problem with CAN data byte Inc: [%d]";
}  // namespace message

// Decodes the current data set in place (framing, sizing, records, laps,
// back-fill, load-time smoothing). The cancel flag state.log_cancel is cleared
// at the start and polled once per record; host.process_events() runs once per
// record in both passes.
void process_data_packets(ProgramState& state, Host& host);

// Load-time smoothing of the current data set: only when the "Filter when Data
// Loaded" option is on and the slot has more than 15 samples.
void smoothAllDataOnLoad(ProgramState& state);

// The unit's milliseconds as seconds in hundredths, rounded the way the unit's
// own lap timer shows them: m / 1000 as a 32-bit real, times 100 truncated, over
// 100 as a 32-bit real (61234 -> 61.23, and 61230 -> 61.22).
float hundredths_seconds(uint32_t milliseconds);

// Header of one record: extended flag, data byte count, record id (CAN id + 8
// for extended records) and total length. `bytes` must hold two bytes when the
// first has bit 7 set.
struct RecordHeader {
  int extended;  // 0 or 1
  int data_count;
  int record_id;  // 0..2055
  int length;     // 1..18
};
inline RecordHeader read_record_header(const uint8_t* bytes) {
  RecordHeader h{};
  h.extended = bytes[0] >> 7;
  const int code = (bytes[0] >> 3) & 0x0F;
  h.data_count = code == 15 ? 16 : code;
  if (h.extended == 0) {
    h.record_id = bytes[0] & 0x07;
    h.length = 1 + h.data_count;
  } else {
    h.record_id = (bytes[0] & 0x07) * 256 + bytes[1] + 8;
    h.length = 2 + h.data_count;
  }
  return h;
}

}  // namespace ardenvis::core
