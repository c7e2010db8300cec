// ardenvis-cli report: a saved session's report as a PDF of one or two A4
// pages, written without a display. Where poppler is installed the pages
// are kept as pictures under the screens folder to be looked at.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "e2e/run_command.h"
#include "files/log_file.h"
#include "logger/decoder.h"
#include "sim/session_synth.h"
#include "support/downloaded_slot.h"
#include "support/scripted_host.h"

namespace ardenvis {
namespace {

namespace fs = std::filesystem;

using testing::run_command;

std::string read_all(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Page objects of a PDF ("/Type /Page", not the "/Type /Pages" tree).
int page_count(const std::string& pdf) {
  const std::regex page("/Type\\s*/Page[^s]");
  return static_cast<int>(
      std::distance(std::sregex_iterator(pdf.begin(), pdf.end(), page), std::sregex_iterator()));
}

class ReportCli : public ::testing::Test {
 protected:
  ReportCli() {
    dir_ = fs::temp_directory_path() / ("ardenvis-e2e-report-" + std::to_string(getpid()));
    fs::create_directories(dir_);
  }
  ~ReportCli() override { fs::remove_all(dir_); }

  // A synthesised session of `laps` laps saved under `name`, with set-up
  // notes and a sheet when `setup`.
  std::string save_session(const std::string& name, int laps, bool setup) {
    sim::SessionOptions options;
    options.laps = laps;
    const auto session = sim::synthesise_session(options);
    core::ProgramState state;
    core::DataSet& set = state.current();
    testing::put_downloaded(set, session);
    state.identity.distance_factor = 1000;
    testing::ScriptedHost host;
    core::process_data_packets(state, host);
    if (setup) {
      set.notes = {"Brands Indy, dry, track 24 C, air 18 C.",
                   "New front pads bedded in on the out lap; a little understeer in Paddock."};
      const char* sheet[][2] = {
          {"1", "82"},   {"2", "88"},   {"3", "91"},  {"4", "26"},   {"5", "29"},     {"13", "450"},
          {"6", "50"},   {"7", "6"},    {"8", "8"},   {"9", "-2.5"}, {"10", "5.0"},   {"11", "0.5"},
          {"12", "142"}, {"16", "575"}, {"19", "12"}, {"20", "40"},  {"65", "Plated"}};
      for (const auto& [k, value] : sheet) set.setup_texts[std::stoul(k) - 1] = value;
    }
    const std::string path = (dir_ / name).string();
    host.queue_save_file(path);
    core::save_log_data(state, host);
    return path;
  }

  std::string report(const std::string& arguments, int& status) {
    return run_command(std::string(ARDENVIS_CLI_PATH) + " report " + arguments, status);
  }

  // Keeps the pages as pictures when pdftoppm is there.
  static void keep_pages(const fs::path& pdf, const std::string& name) {
    const char* screens = std::getenv("ARDENVIS_SCREENS");
    const fs::path folder = screens ? fs::path(screens) : fs::path("screens");
    int status = -1;
    run_command("command -v pdftoppm", status);
    if (status != 0) return;
    fs::create_directories(folder);
    run_command("pdftoppm -png -r 110 " + pdf.string() + " " + (folder / name).string(), status);
    EXPECT_EQ(status, 0);
  }

  fs::path dir_;
};

TEST_F(ReportCli, WritesOnePageOrTwoWithoutADisplay) {
  const std::string plain = save_session("26y12d05m_14h05m_LogID_3.plr", 5, false);
  const std::string with_setup = save_session("brands.plr", 5, true);
  struct Case {
    std::string in;
    std::string options;
    int pages;
    const char* grab;
  };
  const Case cases[] = {
      {plain, "", 1, "report_one_page"},
      {with_setup, " --kmh", 2, "report_two_pages"},
  };
  for (const Case& c : cases) {
    const fs::path out = dir_ / (std::string(c.grab) + ".pdf");
    int status = -1;
    // No display: the command must not need one.
    const std::string said =
        run_command("env -u DISPLAY -u WAYLAND_DISPLAY " + std::string(ARDENVIS_CLI_PATH) +
                        " report " + c.in + " " + out.string() + c.options,
                    status);
    ASSERT_EQ(status, 0) << said;
    const std::string pdf = read_all(out);
    ASSERT_EQ(pdf.rfind("%PDF-", 0), 0u) << c.grab;
    EXPECT_EQ(page_count(pdf), c.pages) << c.grab;
    EXPECT_NE(said.find(std::to_string(c.pages) + " page"), std::string::npos) << said;
    keep_pages(out, c.grab);
  }
}

TEST_F(ReportCli, RefusesBadInputWithoutWriting) {
  const std::string plr = save_session("session.plr", 3, false);
  const fs::path out = dir_ / "report.pdf";
  int status = -1;
  std::string said = report(plr + " " + out.string() + " --session 9", status);
  EXPECT_EQ(status, 1);
  EXPECT_NE(said.find("No Laps or Samples in that Session"), std::string::npos) << said;
  said = report(plr + " " + out.string() + " --session x", status);
  EXPECT_EQ(status, 2);
  said = report((dir_ / "missing.plr").string() + " " + out.string(), status);
  EXPECT_EQ(status, 1);
  said = report(plr + " " + (dir_ / "no/such/folder/report.pdf").string(), status);
  EXPECT_EQ(status, 1);
  EXPECT_FALSE(fs::exists(out));
}

}  // namespace
}  // namespace ardenvis
