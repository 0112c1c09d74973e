#pragma once

#include <QImage>
#include <QPen>
#include <QPolygonF>
#include <QWidget>

namespace gui {

// A read-only graph: the grey background, frame and grid of the design graphs with one polyline on
// top. Mouse positions are reported while a button is held, so the user can read values off it.
class StatisticsGraph : public QWidget {
    Q_OBJECT

public:
    explicit StatisticsGraph(QWidget *parent = nullptr);

    // Replaces the polyline; each point is first limited to the widget's rectangle.
    void setPoints(const QPolygonF &points);
    const QPolygonF &points() const { return polyline; }
    void setConnectionPen(const QPen &pen);
    const QPen &connectionPen() const { return linePen; }

    QSize sizeHint() const override { return {500, 260}; }

signals:
    // The mouse position in widget pixels, on a press and on every move while a button is held.
    void hoverChanged(QPointF position);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void rebuildBackground();

    QImage background;
    QPolygonF polyline;
    QPen linePen;
};

} // namespace gui
