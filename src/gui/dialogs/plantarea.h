#pragma once

#include <QDialog>

#include <memory>

class QSpinBox;

namespace Ui {
class PlantArea;
}

namespace gui {

// The rectangle of terrain cells where plants may be seeded; the main window fills it and applies every
// change at once.
class PlantArea : public QDialog {
    Q_OBJECT

public:
    explicit PlantArea(QWidget *parent = nullptr);
    ~PlantArea() override;

    // The four bounds in the order minimum x, maximum x, minimum y, maximum y. Each spin box is
    // tied to a slider of range 1 ... 99, so a 0 typed in comes back as 1.
    QSpinBox *minX() const;
    QSpinBox *maxX() const;
    QSpinBox *minY() const;
    QSpinBox *maxY() const;

private:
    std::unique_ptr<Ui::PlantArea> ui;
};

} // namespace gui
