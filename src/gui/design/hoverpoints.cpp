#include "gui/design/hoverpoints.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QResizeEvent>
#include <QWidget>

#include <algorithm>
#include <numeric>

namespace gui {

HoverPoints::HoverPoints(QWidget *editedWidget, PointShape pointShape)
    : QObject(editedWidget), widget(editedWidget), shape(pointShape)
{
    widget->installEventFilter(this);
}

void HoverPoints::setEnabled(bool on)
{
    if (enabled == on)
        return;
    enabled = on;
    widget->update();
}

QRectF HoverPoints::boundingRect() const
{
    if (bounds.isEmpty())
        return QRectF(0, 0, widget->width(), widget->height());
    return bounds;
}

void HoverPoints::setPoints(const QPolygonF &newPoints)
{
    pointList.clear();
    for (const QPointF &point : newPoints)
        pointList << bounded(point, 0);
    locks.fill(0, pointList.size());
    current = -1;
}

QRectF HoverPoints::pointShape(const QPointF &point) const
{
    const double half = PointSize / 2.0;
    return QRectF(point.x() - half, point.y() - half, PointSize, PointSize);
}

QPointF HoverPoints::bounded(const QPointF &point, unsigned lock) const
{
    const QRectF area = boundingRect();
    QPointF p(std::clamp(point.x(), area.left(), area.right()),
              std::clamp(point.y(), area.top(), area.bottom()));
    if (lock & LockToLeft)
        p.setX(area.left());
    else if (lock & LockToRight)
        p.setX(area.right());
    if (lock & LockToTop)
        p.setY(area.top());
    else if (lock & LockToBottom)
        p.setY(area.bottom());
    return p;
}

bool HoverPoints::eventFilter(QObject *object, QEvent *event)
{
    if (object != widget || !enabled)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        // Taken whatever it hits, so that the moves with the button held come here too.
        auto *mouse = static_cast<QMouseEvent *>(event);
        mousePress(mouse->position(), mouse->button());
        return true;
    }
    case QEvent::MouseMove:
        mouseMove(static_cast<QMouseEvent *>(event)->position());
        return true;
    case QEvent::MouseButtonRelease:
        current = -1;
        emit editFinished();
        return true;
    case QEvent::Paint: {
        // The widget draws its own picture first; the points go on top of it.
        widget->removeEventFilter(this);
        QApplication::sendEvent(widget, event);
        widget->installEventFilter(this);
        paintPoints();
        return true;
    }
    case QEvent::Resize: {
        auto *resize = static_cast<QResizeEvent *>(event);
        const QSize old = resize->oldSize();
        if (old.width() > 0 && old.height() > 0) {
            const double sx = double(resize->size().width()) / old.width();
            const double sy = double(resize->size().height()) / old.height();
            for (QPointF &point : pointList)
                point = QPointF(point.x() * sx, point.y() * sy);
        }
        return false;
    }
    default:
        return false;
    }
}

void HoverPoints::mousePress(const QPointF &position, Qt::MouseButton button)
{
    int hit = -1;
    for (int i = 0; i < pointList.size() && hit < 0; ++i) {
        const QRectF area = pointShape(pointList.at(i));
        QPainterPath path;
        if (shape == CircleShape)
            path.addEllipse(area);
        else
            path.addRect(area);
        if (path.contains(position))
            hit = i;
    }

    if (button == Qt::LeftButton) {
        if (hit >= 0) {
            current = hit;
            return;
        }
        if (!editable)
            return;
        int pos = 0;
        if (sortType != NoSort) {
            for (int i = 0; i < pointList.size(); ++i) {
                const bool after = sortType == XSort ? pointList.at(i).x() > position.x()
                                                     : pointList.at(i).y() > position.y();
                if (after) {
                    pos = i;
                    break;
                }
            }
        }
        pointList.insert(pos, position);
        locks.insert(pos, 0);
        current = pos;
        firePointChange();
        return;
    }
    if (button == Qt::RightButton && hit >= 0 && editable) {
        // Locked points (the curve's ends) stay.
        if (locks.value(hit) == 0) {
            pointList.remove(hit);
            locks.remove(hit);
        }
        firePointChange();
    }
}

void HoverPoints::mouseMove(const QPointF &position)
{
    emit hoverChanged(position);
    if (current < 0 || current >= pointList.size())
        return;
    pointList[current] = bounded(position, locks.value(current));
    firePointChange();
}

void HoverPoints::firePointChange()
{
    if (sortType != NoSort) {
        // Points and their locks move together; the dragged point keeps being dragged.
        QVector<int> order(pointList.size());
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(), [this](int a, int b) {
            return sortType == XSort ? pointList.at(a).x() < pointList.at(b).x()
                                     : pointList.at(a).y() < pointList.at(b).y();
        });
        QPolygonF sorted;
        QVector<unsigned> sortedLocks;
        int newCurrent = -1;
        for (int i = 0; i < order.size(); ++i) {
            sorted << pointList.at(order.at(i));
            sortedLocks << locks.value(order.at(i));
            if (order.at(i) == current)
                newCurrent = i;
        }
        pointList = sorted;
        locks = sortedLocks;
        current = newCurrent;
    }
    emit pointsChanged(pointList);
    widget->update();
}

void HoverPoints::paintPoints()
{
    QPainter painter(widget);
    painter.setRenderHint(QPainter::Antialiasing);

    if (connectionType != NoConnection && pointList.size() > 1) {
        painter.setPen(connectionPen);
        painter.setBrush(Qt::NoBrush);
        if (connectionType == LineConnection) {
            painter.drawPolyline(pointList);
        } else {
            QPainterPath path(pointList.first());
            for (int i = 1; i < pointList.size(); ++i) {
                const QPointF &a = pointList.at(i - 1);
                const QPointF &b = pointList.at(i);
                const double half = (b.x() - a.x()) / 2;
                path.cubicTo(a.x() + half, a.y(), b.x() - half, b.y(), b.x(), b.y());
            }
            painter.drawPath(path);
        }
    }

    painter.setPen(pointPen);
    painter.setBrush(pointBrush);
    for (const QPointF &point : pointList) {
        if (shape == CircleShape)
            painter.drawEllipse(pointShape(point));
        else
            painter.drawRect(pointShape(point));
    }
}

} // namespace gui
