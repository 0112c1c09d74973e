#include "gui/design/widgetgraph.h"

#include "gui/design/hoverpoints.h"

#include <QLinearGradient>
#include <QPainter>

namespace gui {

WidgetGraph::WidgetGraph(QWidget *parent)
    : QWidget(parent), editor(new HoverPoints(this, HoverPoints::CircleShape))
{
    setWindowTitle(tr("Graph"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    editor->setSortType(HoverPoints::XSort);
    editor->setConnectionType(HoverPoints::LineConnection);
    editor->setConnectionPen(QPen(QColor(255, 0, 0, 255), 2, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    connect(editor, &HoverPoints::pointsChanged, this, &WidgetGraph::valuesChanged);
}

void WidgetGraph::rebuildBackground()
{
    background = QImage(size(), QImage::Format_RGB32);
    QPainter painter(&background);
    QLinearGradient gradient(0, 0, 0, height());
    gradient.setColorAt(0, QColor(189, 189, 189));
    painter.fillRect(background.rect(), gradient);
}

void WidgetGraph::paintEvent(QPaintEvent *)
{
    if (background.size() != size())
        rebuildBackground();
    QPainter painter(this);
    painter.drawImage(0, 0, background);

    painter.setPen(QColor(146, 146, 146));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));

    painter.setPen(QColor(170, 170, 170));
    for (int i = 0; i < 10; ++i) {
        const int x = width() * i / 10;
        const int y = height() * i / 10;
        painter.drawLine(x, 0, x, height());
        painter.drawLine(0, y, width(), y);
    }
}

} // namespace gui
