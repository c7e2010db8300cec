#pragma once
// The camera page's "Information" memo on the command line: one line each on
// stdout.

#include <cstdio>
#include <string>

#include "config/camera_database.h"

namespace ardenvis::cli {

class ConsoleMemo : public core::InformationMemo {
 public:
  void clear() override {}
  void add(const std::string& line) override { std::printf("%s\n", line.c_str()); }
};

}  // namespace ardenvis::cli
