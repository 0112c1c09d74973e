#pragma once

#include <QDialog>

#include <memory>
#include <vector>

class QLineEdit;

namespace Ui {
class RandomGeneratorSeedsEditor;
}

namespace gui {

// The thirteen generator states of the simulation, one line edit each, in the order of the
// simulation's seed vector. OK sends them all; Cancel sends nothing.
class RandomGeneratorSeedsEditor : public QDialog {
    Q_OBJECT

public:
    explicit RandomGeneratorSeedsEditor(QWidget *parent = nullptr);
    ~RandomGeneratorSeedsEditor() override;

    // The line edits in seed vector order.
    std::vector<QLineEdit *> seedEdits() const;
    // A line edit's text as a seed: an unsigned decimal number, or 0 for anything else.
    static unsigned long long parseSeed(const QString &text);

signals:
    void updateSeeds(const std::vector<unsigned long long> &seeds);

public slots:
    void setSeeds(const std::vector<unsigned long long> &seeds);
    void accept() override;
    void reject() override;

private:
    std::unique_ptr<Ui::RandomGeneratorSeedsEditor> ui;
};

} // namespace gui
