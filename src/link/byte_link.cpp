#include "link/byte_link.h"

namespace ardenvis::core {

std::string line_settings_text(const LineSettings& s) {
  std::string text;
  if (s.port >= 1 && s.port <= 9) text += "COM" + std::to_string(s.port) + ":";
  text += " baud=" + std::to_string(s.baud);
  text += s.parity ? " parity=Y" : " parity=N";
  text += " data=" + std::to_string(s.data_bits);
  text += " stop=" + std::to_string(s.stop_bits);
  text += s.xon_xoff ? " xon=on" : " xon=off";
  text += " TO=ON";
  return text;
}

}  // namespace ardenvis::core
