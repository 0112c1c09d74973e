#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class About;
}

namespace gui {

// The program's name, version and picture.
class About : public QDialog {
    Q_OBJECT

public:
    explicit About(QWidget *parent = nullptr);
    ~About() override;

private:
    std::unique_ptr<Ui::About> ui;
};

} // namespace gui
