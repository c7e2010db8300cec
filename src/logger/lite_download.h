#pragma once
// The lite logger's download: its one recording of a single channel, fetched
// in 254-byte blocks and rebuilt sample by sample as the 12-byte sample records
// the flash loggers write, so decoding, the files and the viewer treat it like
// any other log.

#include <cstdint>

#include "logger/download.h"

namespace ardenvis::core {

inline constexpr int kLiteRecordBytes = 12;
inline constexpr uint8_t kLiteRecordHeader = 0x59;  // sample record, 11 data bytes

// Raw bytes the recording becomes: one rebuilt record per whole sample (one
// byte a sample on channel 0, two on channels 1 to 3). A pointer below the
// first log address is an empty recording.
long lite_raw_length(int log_pointer, int channel);

DownloadResult get_fram_data(ProgramState& state, Host& host, const DownloadRequest& request);

}  // namespace ardenvis::core
