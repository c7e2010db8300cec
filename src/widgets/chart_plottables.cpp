#include "widgets/chart_plottables.h"

namespace ardenvis::ui {

QPen make_pen(const QColor& colour, ChartPen style, int width) {
  switch (style) {
    case ChartPen::Solid:
      return QPen(colour, width, Qt::SolidLine);
    case ChartPen::Dotted:
      return QPen(colour, width, Qt::DotLine);
    case ChartPen::Dashed:
      return QPen(colour, width, Qt::DashLine);
    case ChartPen::Invisible:
      return QPen(Qt::NoPen);
  }
  return QPen(colour);
}

}  // namespace ardenvis::ui
