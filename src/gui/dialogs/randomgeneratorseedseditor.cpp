#include "gui/dialogs/randomgeneratorseedseditor.h"

#include "ui_randomgeneratorseedseditor.h"

namespace gui {

RandomGeneratorSeedsEditor::RandomGeneratorSeedsEditor(QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::RandomGeneratorSeedsEditor>())
{
    ui->setupUi(this);
}

RandomGeneratorSeedsEditor::~RandomGeneratorSeedsEditor() = default;

std::vector<QLineEdit *> RandomGeneratorSeedsEditor::seedEdits() const
{
    return {ui->randomGrowClose,
            ui->randomChooseNearPlant,
            ui->randomChooseNewPlantGrowSide,
            ui->randomPositionOfNewPlantsAnywhere,
            ui->random3dPositionOfNewPlantsI,
            ui->random3dpositionsOfNewPlantsJ,
            ui->randomDeathBecauseOfBeingDominated,
            ui->randomDeathBecauseOfBadHeight,
            ui->randomDeathBecauseOfBadMoisture,
            ui->randomDeathBecauseOfBadSunniness,
            ui->randomDeathBecauseOfBadWindiness,
            ui->randomDeathBecauseOfBadSlope,
            ui->randomTimeOfDeath};
}

unsigned long long RandomGeneratorSeedsEditor::parseSeed(const QString &text)
{
    // A minus sign or anything but decimal digits is not a seed; toULongLong refuses both.
    bool ok = false;
    const unsigned long long value = text.trimmed().toULongLong(&ok, 10);
    return ok && !text.trimmed().startsWith(QLatin1Char('-')) ? value : 0;
}

void RandomGeneratorSeedsEditor::setSeeds(const std::vector<unsigned long long> &seeds)
{
    const std::vector<QLineEdit *> edits = seedEdits();
    for (std::size_t i = 0; i < edits.size() && i < seeds.size(); ++i)
        edits[i]->setText(QString::number(seeds[i]));
}

void RandomGeneratorSeedsEditor::accept()
{
    std::vector<unsigned long long> seeds;
    for (const QLineEdit *edit : seedEdits())
        seeds.push_back(parseSeed(edit->text()));
    emit updateSeeds(seeds);
    QDialog::accept();
}

void RandomGeneratorSeedsEditor::reject()
{
    QDialog::reject();
}

} // namespace gui
