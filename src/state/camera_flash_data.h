#pragma once
// The speed-camera database as loaded from a ".cam" file: the exact image the
// unit's flash receives (header followed by records), the fields the window
// shows from its header, and the bytes the last memory check read back.
// Lives for the whole run; a failed load empties it, so nothing half-read can
// be uploaded or checked against.

#include <cstdint>
#include <string>
#include <vector>

namespace ardenvis::core {

struct TCameraFlashData {
  uint8_t loaded = 0;              // 1 while loading or loaded, 0 after a failed load
  std::vector<uint8_t> data;       // header bytes, then record bytes, exactly as uploaded
  std::vector<uint8_t> read_back;  // what the last memory check read from the unit
  std::string file_name;           // without folder; shown in the "File" field
  uint16_t data_checksum = 0;      // the file's trailer value
  uint8_t header_length = 0;       // header byte 0
  uint8_t header_checksum = 0;     // header byte 35
  uint16_t format_version = 0;     // thousandths
  uint16_t source_version = 0;     // thousandths: the camera list's own version
  uint16_t camera_count = 0;
  uint32_t total_length = 0;  // bytes of the image, header included; 0 = nothing loaded
};

}  // namespace ardenvis::core
