// What a chart shows, for comparing two showings: its axes (side, visibility,
// title, label visibility, range, category labels) and every series' points,
// and the picture its view draws.
#pragma once

#include <QAbstractAxis>
#include <QApplication>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QImage>
#include <QLineSeries>
#include <QValueAxis>

#include <string>

namespace kvltest {

inline std::string DescribeChart(const QChart* chart) {
  QString text;
  for (QAbstractAxis* axis : chart->axes()) {
    text += QStringLiteral("axis %1 visible %2 title '%3' labels %4")
                .arg(int(axis->alignment()))
                .arg(axis->isVisible())
                .arg(axis->titleText())
                .arg(axis->labelsVisible());
    if (auto* value = qobject_cast<QValueAxis*>(axis))
      text += QStringLiteral(" range %1..%2").arg(value->min()).arg(value->max());
    if (auto* category = qobject_cast<QCategoryAxis*>(axis))
      text += QStringLiteral(" range %1..%2 [%3]")
                  .arg(category->min())
                  .arg(category->max())
                  .arg(category->categoriesLabels().join(QLatin1Char('|')));
    text += QLatin1Char('\n');
  }
  for (QAbstractSeries* series : chart->series()) {
    text += QStringLiteral("series");
    if (auto* line = qobject_cast<QXYSeries*>(series))
      for (const QPointF& p : line->points()) text += QStringLiteral(" (%1,%2)").arg(p.x()).arg(p.y());
    text += QLatin1Char('\n');
  }
  return text.toStdString();
}

// The view as it is drawn on screen.
inline QImage ChartPicture(QChartView* view) {
  QApplication::processEvents();
  return view->grab().toImage();
}

}  // namespace kvltest
