#include "live/live_frame.h"

#include <algorithm>

#include "link/commands.h"

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
  link.write(command::live_poll);
  if (link.read(host) != command::live_reply) return std::nullopt;
  LiveFrame frame;
  frame.bytes[0] = link.read(host);
  const FrameExtent extent = frame_extent(reader, frame.length());
  for (int i = 1; i <= extent.kept; ++i) frame.bytes[static_cast<size_t>(i)] = link.read(host);
  link.drain(host, extent.dropped);
  return frame;
}

}  // namespace ardenvis::core
