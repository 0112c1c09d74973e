#pragma once

#include <QImage>
#include <QWidget>

namespace gui {

class HoverPoints;

// One graph of the distribution designer: a grey background with a frame and a ten by ten grid,
// and a point editor whose points are joined by a red polyline.
class WidgetGraph : public QWidget {
    Q_OBJECT

public:
    explicit WidgetGraph(QWidget *parent = nullptr);

    HoverPoints *hoverPoints() const { return editor; }

signals:
    // The editor's points changed (added, moved or removed).
    void valuesChanged();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void rebuildBackground();

    HoverPoints *editor;
    // The background at the widget's size; made anew when the size changes.
    QImage background;
};

} // namespace gui
