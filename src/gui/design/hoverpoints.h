#pragma once

#include <QBrush>
#include <QObject>
#include <QPen>
#include <QPointF>
#include <QPolygonF>
#include <QRectF>
#include <QVector>

class QWidget;

namespace gui {

// The point editor of a graph: installed as an event filter on the widget it edits, it keeps a
// list of points in the widget's pixel coordinates, draws them over the widget's own picture and
// lets the mouse add (left click), drag and remove (right click) them.
class HoverPoints : public QObject {
    Q_OBJECT
    Q_PROPERTY(QPolygonF points READ points WRITE setPoints)
    Q_PROPERTY(bool enabled READ isEnabled WRITE setEnabled)

public:
    enum PointShape { CircleShape = 0, RectangleShape = 1 };
    enum SortType { NoSort = 0, XSort = 1, YSort = 2 };
    enum ConnectionType { NoConnection = 0, LineConnection = 1, CurveConnection = 2 };
    // Lock bits of a point: which edge of the bounds it stays on.
    enum LockType { LockToLeft = 1, LockToRight = 2, LockToTop = 4, LockToBottom = 8 };

    static constexpr int PointSize = 11;

    HoverPoints(QWidget *widget, PointShape shape);

    bool eventFilter(QObject *object, QEvent *event) override;

    QPolygonF points() const { return pointList; }
    // Replaces the points, each limited to the bounds; clears every lock.
    void setPoints(const QPolygonF &points);

    // The rectangle the points stay in: the widget's rectangle while no bounds were set.
    QRectF boundingRect() const;
    void setBoundingRect(const QRectF &rect) { bounds = rect; }

    void setSortType(SortType type) { sortType = type; }
    SortType sorting() const { return sortType; }
    void setConnectionType(ConnectionType type) { connectionType = type; }
    ConnectionType connection() const { return connectionType; }
    void setConnectionPen(const QPen &pen) { connectionPen = pen; }
    QPen linePen() const { return connectionPen; }
    void setShapePen(const QPen &pen) { pointPen = pen; }
    void setShapeBrush(const QBrush &brush) { pointBrush = brush; }
    void setEditable(bool on) { editable = on; }
    bool isEditable() const { return editable; }
    bool isEnabled() const { return enabled; }

    // One lock entry per point (LockType bits).
    void setPointLock(int pos, unsigned lock) { locks[pos] = lock; }
    unsigned pointLock(int pos) const { return locks.value(pos); }
    // The point being dragged, -1 when none.
    int currentIndex() const { return current; }

public slots:
    void setEnabled(bool on);
    void setDisabled(bool off) { setEnabled(!off); }

signals:
    void pointsChanged(const QPolygonF &points);
    void hoverChanged(const QPointF &position);
    // A mouse button was let go: an edit that began with its press is complete.
    void editFinished();

private:
    void mousePress(const QPointF &position, Qt::MouseButton button);
    void mouseMove(const QPointF &position);
    void paintPoints();
    QRectF pointShape(const QPointF &point) const;
    QPointF bounded(const QPointF &point, unsigned lock) const;
    // Sorts (the current index following its point), announces the points and repaints.
    void firePointChange();

    QWidget *widget;
    QPolygonF pointList;
    QRectF bounds;
    PointShape shape;
    SortType sortType = NoSort;
    ConnectionType connectionType = CurveConnection;
    QVector<unsigned> locks;
    int current = -1;
    bool editable = true;
    bool enabled = true;
    QPen pointPen{QColor(255, 255, 255, 191), 1, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin};
    QBrush pointBrush{QColor(191, 191, 191, 127)};
    QPen connectionPen{QColor(255, 255, 255, 127), 1, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin};
};

} // namespace gui
