#include "viewer/ui/session_report_pdf.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QSaveFile>
#include <algorithm>
#include <memory>

#include "widgets/chart.h"

namespace ardenvis::ui {

namespace {

// Everything is laid out in pixels of 1/96 inch (A4 is 794 x 1123 of them):
// fonts given in points then have their usual size, and the charts paint at
// the sizes they are laid out for.
constexpr int kReportDpi = 96;
constexpr double kPageWidth = 794;
constexpr double kPageHeight = 1123;
constexpr double kMargin = 48;
constexpr double kContentWidth = kPageWidth - 2 * kMargin;
constexpr double kFooterTop = kPageHeight - kMargin + 14;
constexpr double kRowHeight = 16;

QString qs(const std::string& text) { return QString::fromStdString(text); }

QFont report_font(double points, bool bold = false) {
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setStyleHint(QFont::SansSerif);
  font.setPointSizeF(points);
  font.setBold(bold);
  return font;
}

// One strip of the best lap's plot: a trace against distance on a scale from
// 0 to a little above its top. The strips share fixed margins so their
// distance scales line up.
void paint_strip(QPainter& painter, const QRectF& target, const std::vector<double>& x,
                 const std::vector<double>& y, const QString& caption, const QColor& colour,
                 const QString& x_caption, double headroom, double y_step = 0) {
  if (x.empty()) return;
  Chart chart;
  const QSize size(static_cast<int>(target.width()), static_cast<int>(target.height()));
  chart.resize(size);
  chart.set_fixed_margins(62, 6, 10, x_caption.isEmpty() ? 22 : 38);
  chart.set_pen(colour, ChartPen::Solid, 1);
  chart.draw_series(1, x.data(), y.data(), static_cast<long>(x.size()), 0, 0, true);
  const double high = *std::max_element(y.begin(), y.end());
  chart.set_range(
      1, {x.front(), 0, std::max(x.back(), x.front() + 1), std::max(high, 1.0) + headroom});
  chart.set_y_caption(1, caption);
  chart.set_x_caption(1, x_caption);
  chart.set_grid(ChartGrid::Both, Qt::DotLine, QColor(192, 192, 192));
  chart.set_grid_spacing(0, y_step);
  chart.paint_figure(painter, target, size);
}

class ReportPainter {
 public:
  ReportPainter(const core::SessionReport& report, QPainter& painter,
                std::function<bool()> new_page)
      : report_(report), p_(painter), new_page_(std::move(new_page)) {}

  void paint() {
    page_ = 1;
    paint_first_page();
    if (report_.page_count > 1 && new_page_()) {
      page_ = 2;
      paint_second_page();
    }
  }

 private:
  void footer() {
    p_.setFont(report_font(7.5));
    p_.setPen(QColor(90, 90, 90));
    p_.drawLine(QPointF(kMargin, kFooterTop - 10), QPointF(kPageWidth - kMargin, kFooterTop - 10));
    p_.drawText(QRectF(kMargin, kFooterTop - 6, kContentWidth, 14), Qt::AlignLeft,
                qs(report_.footer));
    p_.drawText(QRectF(kMargin, kFooterTop - 6, kContentWidth, 14), Qt::AlignRight,
                QString("Page %1 of %2").arg(page_).arg(report_.page_count));
    p_.setPen(Qt::black);
  }

  double heading(double y, const QString& text) {
    p_.setFont(report_font(10.5, true));
    p_.drawText(QRectF(kMargin, y, kContentWidth, 18), Qt::AlignLeft | Qt::AlignVCenter, text);
    return y + 20;
  }

  void paint_first_page() {
    p_.setFont(report_font(16, true));
    p_.drawText(QRectF(kMargin, kMargin, kContentWidth, 28), Qt::AlignLeft | Qt::AlignVCenter,
                qs(report_.title));
    p_.setPen(QPen(Qt::black, 1.2));
    p_.drawLine(QPointF(kMargin, kMargin + 32), QPointF(kPageWidth - kMargin, kMargin + 32));

    // Particulars on the left, the track map on the right.
    constexpr double kMapSide = 210;
    const double top = kMargin + 44;
    double y = top;
    for (const core::ReportField& field : report_.particulars) {
      p_.setFont(report_font(9, true));
      p_.drawText(QRectF(kMargin, y, 76, kRowHeight), Qt::AlignLeft | Qt::AlignVCenter,
                  qs(field.label));
      p_.setFont(report_font(9));
      p_.drawText(QRectF(kMargin + 76, y, kContentWidth - kMapSide - 90, kRowHeight),
                  Qt::AlignLeft | Qt::AlignVCenter,
                  p_.fontMetrics().elidedText(qs(field.value), Qt::ElideMiddle,
                                              static_cast<int>(kContentWidth - kMapSide - 90)));
      y += kRowHeight + 2;
    }
    paint_track(QRectF(kPageWidth - kMargin - kMapSide, top, kMapSide, kMapSide));

    // The figures.
    y = std::max(y + 10, top + kMapSide + 8);
    y = heading(y, "Lap figures");
    p_.setFont(report_font(9));
    for (const std::string& line : report_.figures) {
      p_.drawText(QRectF(kMargin, y, kContentWidth, kRowHeight), Qt::AlignLeft | Qt::AlignVCenter,
                  qs(line));
      y += kRowHeight;
    }
    if (!report_.ideal_segments.empty()) {
      QStringList parts;
      for (const std::string& segment : report_.ideal_segments) {
        parts << qs(segment).replace(u' ', QChar::Nbsp);  // each entry kept on one line
      }
      p_.setFont(report_font(7.5));
      const QRectF box(kMargin + 12, y, kContentWidth - 12, 3 * 13);
      const QRectF used = p_.boundingRect(box, Qt::TextWordWrap, parts.join(QStringLiteral(";  ")));
      p_.drawText(box, Qt::TextWordWrap, parts.join(QStringLiteral(";  ")));
      y += std::min(used.height(), box.height()) + 4;
    }

    // The best lap's plot.
    y += 8;
    if (report_.plot) {
      const core::ReportPlot& plot = *report_.plot;
      y = heading(y, qs(plot.title));
      const QString distance = qs(plot.distance_label);
      const double top_rpm = *std::max_element(plot.rpm.begin(), plot.rpm.end());
      const double top_speed = *std::max_element(plot.speed.begin(), plot.speed.end());
      paint_strip(p_, QRectF(kMargin, y, kContentWidth, 108), plot.distance, plot.rpm, "RPM",
                  QColor(200, 0, 0), QString(), std::max(top_rpm * 0.08, 100.0));
      y += 108;
      paint_strip(p_, QRectF(kMargin, y, kContentWidth, 108), plot.distance, plot.speed,
                  qs(plot.speed_label), QColor(0, 0, 200), QString(),
                  std::max(top_speed * 0.08, 5.0));
      y += 108;
      paint_strip(p_, QRectF(kMargin, y, kContentWidth, 104), plot.distance, plot.gear, "Gear",
                  QColor(0, 128, 0), distance, 1, 2);  // gears 0, 2, 4, 6 marked
      y += 108;
    }

    // The first laps of the table.
    y = heading(y, "Laps");
    y = paint_lap_table(y, report_.first_page_laps);
    if (report_.page_count == 1 && !report_.laps_left_out.empty()) note(y, report_.laps_left_out);
    footer();
  }

  void paint_second_page() {
    double y = kMargin;
    if (!report_.second_page_laps.empty()) {
      y = heading(y, "Laps (continued)");
      y = paint_lap_table(y, report_.second_page_laps);
      if (!report_.laps_left_out.empty()) y = note(y, report_.laps_left_out);
      y += 10;
    }
    // The sheet goes at the bottom of the page; the notes get what is left.
    const double sheet_height = setup_height();
    y = heading(y, "Set-up notes");
    p_.setFont(report_font(8.5));
    const QString notes = report_.notes.empty() ? QStringLiteral("No set-up notes recorded.")
                                                : qs(join_lines(report_.notes));
    const double room = std::max(kRowHeight, kFooterTop - 24 - sheet_height - 28 - y);
    const QRectF box(kMargin, y, kContentWidth, room);
    const QRectF used = p_.boundingRect(box, Qt::TextWordWrap, notes);
    p_.save();
    p_.setClipRect(box);
    p_.drawText(box, Qt::TextWordWrap, notes);
    p_.restore();
    y += std::min(used.height(), room) + 12;
    y = heading(y, "Set-up sheet");
    if (report_.setup.empty()) {
      p_.setFont(report_font(8.5));
      p_.drawText(QRectF(kMargin, y, kContentWidth, kRowHeight), Qt::AlignLeft,
                  QStringLiteral("No set-up sheet recorded."));
    } else {
      paint_setup(y);
    }
    footer();
  }

  static std::string join_lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += (text.empty() ? "" : "\n") + line;
    return text;
  }

  double note(double y, const std::string& text) {
    p_.setFont(report_font(8, false));
    p_.drawText(QRectF(kMargin, y + 2, kContentWidth, kRowHeight), Qt::AlignLeft, qs(text));
    return y + kRowHeight;
  }

  double paint_lap_table(double y, const std::vector<core::ReportLapRow>& rows) {
    // Column widths as shares of the content width, numbers right aligned.
    static constexpr double kShares[] = {0.09, 0.11, 0.14, 0.13, 0.17, 0.14, 0.22};
    const auto& columns = report_.lap_columns;
    auto cell_x = [&](size_t c) {
      double x = kMargin;
      for (size_t i = 0; i < c; ++i) x += kShares[i] * kContentWidth;
      return x;
    };
    auto row_text = [&](double row_y, size_t c, const QString& text) {
      const QRectF cell(cell_x(c) + 4, row_y, kShares[c] * kContentWidth - 12, kRowHeight);
      const bool number = c >= 2 && c <= 5;
      p_.drawText(cell, (number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter, text);
    };
    p_.fillRect(QRectF(kMargin, y, kContentWidth, kRowHeight), QColor(225, 225, 225));
    p_.setFont(report_font(8.5, true));
    for (size_t c = 0; c < columns.size() && c < std::size(kShares); ++c) {
      row_text(y, c, qs(columns[c]));
    }
    y += kRowHeight;
    for (size_t r = 0; r < rows.size(); ++r) {
      const core::ReportLapRow& row = rows[r];
      if (row.best) {
        p_.fillRect(QRectF(kMargin, y, kContentWidth, kRowHeight), QColor(214, 240, 214));
      } else if (r % 2 == 1) {
        p_.fillRect(QRectF(kMargin, y, kContentWidth, kRowHeight), QColor(246, 246, 246));
      }
      p_.setFont(report_font(8.5, row.best));
      const std::string* cells[] = {&row.lap,      &row.session, &row.time, &row.gap,
                                    &row.distance, &row.average, &row.note};
      for (size_t c = 0; c < std::size(cells); ++c) row_text(y, c, qs(*cells[c]));
      y += kRowHeight;
    }
    p_.setPen(QPen(QColor(150, 150, 150), 0.6));
    p_.drawLine(QPointF(kMargin, y), QPointF(kPageWidth - kMargin, y));
    p_.setPen(Qt::black);
    return y + 4;
  }

  void paint_track(const QRectF& area) {
    const core::ReportTrack& track = report_.track;
    p_.setPen(QPen(QColor(150, 150, 150), 0.8));
    p_.drawRect(area);
    p_.setFont(report_font(8, true));
    p_.setPen(Qt::black);
    p_.drawText(area.adjusted(6, 4, -6, 0), Qt::AlignLeft | Qt::AlignTop,
                track.x.empty() ? QStringLiteral("Track map") : qs(track.caption));
    if (track.x.empty()) {
      p_.setFont(report_font(8));
      p_.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, qs(track.problem));
      return;
    }
    // Both axes at one scale, y upwards, the shape centred in the frame.
    const QRectF inner = area.adjusted(14, 24, -14, -14);
    const double x_span = *std::max_element(track.x.begin(), track.x.end());
    const double y_span = *std::max_element(track.y.begin(), track.y.end());
    const double scale = std::min(inner.width(), inner.height());
    const double left = inner.left() + (inner.width() - x_span * scale) / 2;
    const double bottom = inner.bottom() - (inner.height() - y_span * scale) / 2;
    QPainterPath path;
    for (size_t k = 0; k < track.x.size(); ++k) {
      const QPointF point(left + track.x[k] * scale, bottom - track.y[k] * scale);
      if (k == 0) {
        path.moveTo(point);
      } else {
        path.lineTo(point);
      }
    }
    p_.setPen(QPen(QColor(0, 140, 0), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p_.setBrush(Qt::NoBrush);
    p_.drawPath(path);
    // The start, as the track map marks it.
    p_.setPen(QPen(Qt::black, 0.8));
    p_.setBrush(QColor(255, 220, 0));
    p_.drawEllipse(path.elementAt(0), 4, 4);
    p_.setBrush(Qt::NoBrush);
    p_.setPen(Qt::black);
  }

  // The four corners two by two, then the general block in two columns.
  double block_height(const core::ReportSetupBlock& block, int columns) const {
    const auto rows = static_cast<double>((block.rows.size() + columns - 1) / columns);
    return 18 + rows * 14;
  }
  double setup_height() const {
    if (report_.setup.empty()) return kRowHeight;
    double height = 0;
    for (size_t i = 0; i + 1 < report_.setup.size(); i += 2) {
      height += std::max(block_height(report_.setup[i], 1), block_height(report_.setup[i + 1], 1));
    }
    return height + block_height(report_.setup.back(), 2);
  }

  void paint_setup_block(const core::ReportSetupBlock& block, double x, double y, double width,
                         int columns) {
    p_.setFont(report_font(8.5, true));
    p_.drawText(QRectF(x, y, width, 16), Qt::AlignLeft | Qt::AlignVCenter, qs(block.heading));
    p_.setPen(QPen(QColor(150, 150, 150), 0.6));
    p_.drawLine(QPointF(x, y + 16), QPointF(x + width - 12, y + 16));
    p_.setPen(Qt::black);
    const double column_width = width / columns;
    const size_t per_column = (block.rows.size() + columns - 1) / columns;
    for (size_t i = 0; i < block.rows.size(); ++i) {
      const double cx = x + static_cast<double>(i / per_column) * column_width;
      const double cy = y + 18 + static_cast<double>(i % per_column) * 14;
      p_.setFont(report_font(8));
      p_.drawText(QRectF(cx, cy, column_width * 0.55, 14), Qt::AlignLeft | Qt::AlignVCenter,
                  qs(block.rows[i].label));
      p_.setFont(report_font(8, true));
      p_.drawText(QRectF(cx + column_width * 0.55, cy, column_width * 0.45 - 12, 14),
                  Qt::AlignLeft | Qt::AlignVCenter, qs(block.rows[i].value));
    }
  }

  void paint_setup(double y) {
    const double half = kContentWidth / 2;
    size_t i = 0;
    for (; i + 1 < report_.setup.size(); i += 2) {
      paint_setup_block(report_.setup[i], kMargin, y, half, 1);
      paint_setup_block(report_.setup[i + 1], kMargin + half, y, half, 1);
      y += std::max(block_height(report_.setup[i], 1), block_height(report_.setup[i + 1], 1));
    }
    if (i < report_.setup.size()) paint_setup_block(report_.setup[i], kMargin, y, kContentWidth, 2);
  }

  const core::SessionReport& report_;
  QPainter& p_;
  std::function<bool()> new_page_;
  int page_ = 1;
};

}  // namespace

void paint_session_report(const core::SessionReport& report, QPainter& painter, int dots_per_inch,
                          const std::function<bool()>& new_page) {
  painter.save();
  // Laid out at 96 per inch whatever the device's own resolution.
  const double scale = static_cast<double>(dots_per_inch) / kReportDpi;
  painter.scale(scale, scale);
  ReportPainter(report, painter, new_page).paint();
  painter.restore();
}

bool write_session_report(const core::SessionReport& report, const QString& path) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  bool painted = false;
  {
    QPdfWriter pdf(&file);
    pdf.setTitle(QString::fromStdString(report.title));
    pdf.setCreator(QStringLiteral("Ardenvis"));
    pdf.setPageLayout(
        QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    pdf.setResolution(kReportDpi);
    Chart::FigurePainter painter = Chart::figure_painter(&pdf);
    if (painter) {
      paint_session_report(report, *painter, kReportDpi, [&pdf] { return pdf.newPage(); });
      painted = painter->end();
    }
  }
  if (!painted) {
    file.cancelWriting();
    return false;
  }
  return file.commit();
}

}  // namespace ardenvis::ui
