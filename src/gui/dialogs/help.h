#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class Help;
}

namespace gui {

// The usage document of the program in a text browser.
class Help : public QDialog {
    Q_OBJECT

public:
    explicit Help(QWidget *parent = nullptr);
    ~Help() override;

    // The document as rich text in the current language: bold headings (the first level larger),
    // paragraph lines and bulleted lists.
    static QString document();

private:
    std::unique_ptr<Ui::Help> ui;
};

} // namespace gui
