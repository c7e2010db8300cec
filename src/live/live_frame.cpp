#include "live/live_frame.h"

#include <algorithm>

#include "link/commands.h"
#include "link/exchange.h"

namespace ardenvis::core {

FrameExtent frame_extent(FrameReader reader, int length) {
  FrameExtent extent;
  if (reader == FrameReader::VirtualDisplay) {
    extent.kept = std::min(length, kDisplayFrameLength);
  } else {
    // The on-board channels come only with a frame longer than 61 bytes.
    extent.kept = length > kSystemFrameLength ? std::min(length, kOnBoardFrameLength)
                                              : std::min(length, kSystemFrameLength);
  }
  extent.dropped = std::max(0, length - extent.kept);
  return extent;
}

std::optional<LiveFrame> poll_live_frame(UnitLink& link, Host& host, FrameReader reader) {
  // What an earlier frame left (a length byte that said less than followed, a
  // late reply) is dropped first, so the "V" read next answers this poll.
  if (!settle_line(link, host)) return std::nullopt;
  link.write(command::live_poll);
  const std::optional<uint8_t> reply = read_owed_byte(link, host);
  if (!reply || *reply != command::live_reply) return std::nullopt;
  // A time-out anywhere inside the frame makes all of it no data: the bytes
  // that did come may belong to anything.
  LiveFrame frame;
  if (!read_owed(link, host, frame.bytes.data(), 1)) return std::nullopt;
  const FrameExtent extent = frame_extent(reader, frame.length());
  if (!read_owed(link, host, frame.bytes.data() + 1, static_cast<size_t>(extent.kept))) {
    return std::nullopt;
  }
  for (int i = 0; i < extent.dropped; ++i) {
    if (!read_owed_byte(link, host)) return std::nullopt;
  }
  // The frame carries no check: a byte still coming after it (a length byte
  // that said less than followed, a late reply cut short running into the
  // next) means what was read is not one frame.
  if (!line_is_silent(link, host)) return std::nullopt;
  return frame;
}

}  // namespace ardenvis::core
