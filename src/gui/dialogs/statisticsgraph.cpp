#include "gui/dialogs/statisticsgraph.h"

#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace gui {

namespace {

const QColor backgroundGrey(189, 189, 189);
const QColor frameGrey(146, 146, 146);
const QColor gridGrey(170, 170, 170);

} // namespace

StatisticsGraph::StatisticsGraph(QWidget *parent)
    : QWidget(parent), linePen(QColor(255, 0, 0, 255), 2, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin)
{
    setWindowTitle(tr("Graph"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void StatisticsGraph::setPoints(const QPolygonF &points)
{
    const auto right = static_cast<double>(width());
    const auto bottom = static_cast<double>(height());
    polyline.clear();
    polyline.reserve(points.size());
    for (const QPointF &p : points)
        polyline.append({std::clamp(p.x(), 0.0, right), std::clamp(p.y(), 0.0, bottom)});
    update();
}

void StatisticsGraph::setConnectionPen(const QPen &pen)
{
    linePen = pen;
    update();
}

void StatisticsGraph::rebuildBackground()
{
    background = QImage(size(), QImage::Format_RGB32);
    QPainter painter(&background);
    QLinearGradient gradient(0, 0, 0, height());
    gradient.setColorAt(0, backgroundGrey);
    painter.fillRect(background.rect(), gradient);
    painter.setPen(gridGrey);
    for (int i = 0; i < 10; ++i) {
        const int x = width() * i / 10;
        const int y = height() * i / 10;
        painter.drawLine(x, 0, x, height());
        painter.drawLine(0, y, width(), y);
    }
    painter.setPen(frameGrey);
    painter.drawRect(0, 0, width() - 1, height() - 1);
}

void StatisticsGraph::paintEvent(QPaintEvent *)
{
    if (background.size() != size())
        rebuildBackground();
    QPainter painter(this);
    painter.drawImage(0, 0, background);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(linePen);
    painter.drawPolyline(polyline);
}

void StatisticsGraph::resizeEvent(QResizeEvent *event)
{
    // The polyline keeps its place relative to the graph, as the design graphs' points do.
    const QSize old = event->oldSize();
    if (old.width() > 0 && old.height() > 0) {
        const double sx = double(width()) / old.width();
        const double sy = double(height()) / old.height();
        for (QPointF &p : polyline)
            p = {p.x() * sx, p.y() * sy};
    }
    rebuildBackground();
}

void StatisticsGraph::mousePressEvent(QMouseEvent *event)
{
    emit hoverChanged(event->position());
}

void StatisticsGraph::mouseMoveEvent(QMouseEvent *event)
{
    if (event->buttons() != Qt::NoButton)
        emit hoverChanged(event->position());
}

} // namespace gui
