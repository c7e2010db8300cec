// "report": the session report of a log data file as a PDF of one or two A4
// pages, painted without a display (the offscreen platform).

#include <sys/stat.h>

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "cli/commands.h"
#include "cli/console_host.h"
#include "files/log_file.h"
#include "logger/data_set_units.h"
#include "state/program_state.h"
#include "viewer/session_report.h"
#include "viewer/ui/session_report_pdf.h"

namespace ardenvis::cli {
namespace {

std::unique_ptr<QCoreApplication> painting_application(int& argc, char** argv) {
  // Nothing is shown: the offscreen platform paints as well as any other and
  // needs no display.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  return std::make_unique<QApplication>(argc, argv);
}

int report(Arguments& args) {
  const auto session = args.option("--session");
  const bool kmh = args.flag("--kmh");
  if (args.rest().size() != 2) {
    std::fprintf(stderr, "report: give the log data file and the PDF to write\n");
    return 2;
  }
  core::ReportOptions options;
  if (session) {
    char* end = nullptr;
    const long value = std::strtol(session->c_str(), &end, 10);
    if (session->empty() || *end != '\0' || value < 1 || value > 255) {
      std::fprintf(stderr, "report: --session takes a number from 1 to 255\n");
      return 2;
    }
    options.session = static_cast<int>(value);
  }
  const std::string& in = args.rest()[0];
  const std::string& out = args.rest()[1];

  core::ProgramState state;
  ConsoleHost host(false);
  state.current_data_set = core::DataSetId::A;
  state.file(core::FileKind::LogData) = {"", "default.plr"};
  host.queue_file(in);
  if (!core::load_log_data(state, host)) return 1;
  core::change_loaded_units(state, core::DataSetId::A, {});
  if (kmh) core::change_mph_kmh(state, true);
  struct stat status {};
  if (::stat(in.c_str(), &status) == 0) options.file_time = status.st_mtime;

  std::string problem;
  const auto made = core::build_session_report(state, core::DataSetId::A, options, &problem);
  if (!made) {
    std::fprintf(stderr, "%s\n", problem.c_str());
    return 1;
  }
  if (!ui::write_session_report(*made, QString::fromStdString(out))) {
    std::fprintf(stderr, "report: cannot write %s\n", out.c_str());
    return 1;
  }
  std::printf("%s: %d page%s\n", out.c_str(), made->page_count, made->page_count == 1 ? "" : "s");
  return 0;
}

ARDENVIS_CLI_GUI_COMMAND("report",
                         "report IN.plr OUT.pdf [--session S] [--kmh]   session report as a PDF "
                         "of one or two A4 pages",
                         report, painting_application);

}  // namespace
}  // namespace ardenvis::cli
