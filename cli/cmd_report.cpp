// "report": the session report of a log data file as a PDF of one or two A4
// pages, painted without a display (the offscreen platform).

#include <sys/stat.h>

#include <QApplication>
#include <cstdio>
#include <string>

#include "cli/commands.h"
#include "cli/console_host.h"
#include "cli/load_log.h"
#include "common/number_text.h"
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
  core::ProgramState state;
  state.unit_flags.speed_kmh = args.flag("--kmh");
  if (args.rest().size() != 2) {
    std::fprintf(stderr, "report: give the log data file and the PDF to write\n");
    return 2;
  }
  core::ReportOptions options;
  if (session) {
    const auto value = core::parse_integer(*session);
    if (!value || *value < 1 || *value > 255) {
      std::fprintf(stderr, "report: --session takes a number from 1 to 255\n");
      return 2;
    }
    options.session = static_cast<int>(*value);
  }
  const std::string& in = args.rest()[0];
  const std::string& out = args.rest()[1];

  ConsoleHost host(false);
  if (!load_log_file_into_a(state, host, in)) return 1;
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
