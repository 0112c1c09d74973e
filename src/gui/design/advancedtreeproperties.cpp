#include "gui/design/advancedtreeproperties.h"

#include "ui_advancedtreeproperties.h"

#include <cmath>

namespace gui {

namespace {

constexpr double SliderSteps = 10000.0;

// The fields this dialog edits: row 0 to 9 of its form.
void copyScalars(const lignet::TreeParameters &from, lignet::TreeParameters &to)
{
    to.numberOfStrands = from.numberOfStrands;
    to.trunkHeight = from.trunkHeight;
    to.branchThicknessPerStrand = from.branchThicknessPerStrand;
    to.gravicentralism = from.gravicentralism;
    to.phyllotaxisAngle = from.phyllotaxisAngle;
    to.leafType = from.leafType;
    to.leafDensity = from.leafDensity;
    to.leafSize = from.leafSize;
    to.windSpeed = from.windSpeed;
    to.windSpeedNodirect = from.windSpeedNodirect;
}

double fromSlider(int position, double scale)
{
    return position / SliderSteps * scale;
}

} // namespace

AdvancedTreeProperties::AdvancedTreeProperties(QWidget *parent, lignet::TreeParameters *liveSet)
    : QDialog(parent), ui(std::make_unique<Ui::AdvancedTreeProperties>()), live(liveSet), committed(*liveSet)
{
    ui->setupUi(this);
    backup = std::make_unique<lignet::TreeParameters>(*live);
    loadWidgets();
    connect(this, &QDialog::rejected, this, &AdvancedTreeProperties::makeUndo);
    connect(ui->buttonApply, &QPushButton::clicked, this, &AdvancedTreeProperties::applyParameters);
    // After makeUndo, so that what Cancel keeps is what is announced.
    connect(this, &QDialog::rejected, this, &AdvancedTreeProperties::commitEdits);
    connect(this, &QDialog::accepted, this, &AdvancedTreeProperties::commitEdits);
}

AdvancedTreeProperties::~AdvancedTreeProperties() = default;

void AdvancedTreeProperties::setScaledSlider(QSlider *slider, double value, double scale)
{
    // Values beyond the slider's range (or damaged ones) put it at its end.
    const double position = value * SliderSteps / scale;
    slider->setValue(position > 0 ? int(std::min(std::trunc(position), double(slider->maximum()))) : 0);
}

void AdvancedTreeProperties::loadWidgets()
{
    // Row by row, spin box first: each slider then passes its property through its own steps.
    ui->editNumberOfStrands->setValue(live->numberOfStrands);
    ui->sliderNumberOfStrands->setValue(live->numberOfStrands);
    ui->editTrinkHeight->setValue(live->trunkHeight);
    setScaledSlider(ui->sliderTrinkHeight, live->trunkHeight, TrunkHeightScale);
    ui->editBranchThicknessPerStrand->setValue(double(live->branchThicknessPerStrand));
    setScaledSlider(ui->sliderBranchThicknessPerStrand, double(live->branchThicknessPerStrand),
                    ThicknessScale);
    ui->editGravicentralism->setValue(live->gravicentralism);
    setScaledSlider(ui->sliderGravicentralism, live->gravicentralism, GravicentralismScale);
    ui->editPhyllotaxisAngle->setValue(live->phyllotaxisAngle);
    ui->sliderPhyllotaxisAngle->setValue(
        live->phyllotaxisAngle > 0
            ? int(std::min(live->phyllotaxisAngle, double(ui->sliderPhyllotaxisAngle->maximum())))
            : 0);
    ui->editLeafType->setCurrentIndex(live->leafType);
    ui->editLeafDensity->setValue(live->leafDensity);
    ui->sliderLeafDensity->setValue(live->leafDensity);
    ui->editLeafSize->setValue(double(live->leafSize));
    setScaledSlider(ui->sliderLeafSize, double(live->leafSize), LeafSizeScale);
    ui->editWindSpeed->setValue(live->windSpeed);
    setScaledSlider(ui->sliderWindSpeed, live->windSpeed, WindSpeedScale);
    ui->editWindSpeedNodirect->setValue(live->windSpeedNodirect);
    setScaledSlider(ui->sliderWindSpeedNodirect, live->windSpeedNodirect, WindSpeedScale);
}

void AdvancedTreeProperties::edited()
{
    if (ui->cbAutoProof->isChecked())
        emit forceRefresh();
}

void AdvancedTreeProperties::makeUndo()
{
    // The wind nonuniform speed is not restored.
    const double windSpeedNodirect = live->windSpeedNodirect;
    copyScalars(*backup, *live);
    live->windSpeedNodirect = windSpeedNodirect;
}

void AdvancedTreeProperties::applyParameters()
{
    live->numberOfStrands = ui->editNumberOfStrands->value();
    live->trunkHeight = ui->editTrinkHeight->value();
    live->branchThicknessPerStrand = float(ui->editBranchThicknessPerStrand->value());
    live->gravicentralism = ui->editGravicentralism->value();
    live->phyllotaxisAngle = ui->editPhyllotaxisAngle->value();
    live->leafType = ui->editLeafType->currentIndex();
    live->leafDensity = ui->editLeafDensity->value();
    live->leafSize = float(ui->editLeafSize->value());
    live->windSpeed = ui->editWindSpeed->value();
    *backup = *live;
    commitEdits();
    emit forceRefresh();
}

void AdvancedTreeProperties::commitEdits()
{
    // Only the scalars go back with the step: curves changed meanwhile by a designer stay.
    lignet::TreeParameters before = *live;
    copyScalars(committed, before);
    copyScalars(*live, committed);
    if (!(before == *live))
        emit parametersCommitted(before);
}

void AdvancedTreeProperties::on_editNumberOfStrands_valueChanged(int value)
{
    live->numberOfStrands = value;
    edited();
}

void AdvancedTreeProperties::on_editTrinkHeight_valueChanged(double value)
{
    live->trunkHeight = value;
    edited();
}

void AdvancedTreeProperties::on_editBranchThicknessPerStrand_valueChanged(double value)
{
    live->branchThicknessPerStrand = float(value);
    edited();
}

void AdvancedTreeProperties::on_editGravicentralism_valueChanged(double value)
{
    live->gravicentralism = value;
    edited();
}

void AdvancedTreeProperties::on_editPhyllotaxisAngle_valueChanged(double value)
{
    live->phyllotaxisAngle = value;
    edited();
}

void AdvancedTreeProperties::on_editLeafType_currentIndexChanged(int index)
{
    live->leafType = index;
    edited();
}

void AdvancedTreeProperties::on_editLeafDensity_valueChanged(int value)
{
    live->leafDensity = value;
    edited();
}

void AdvancedTreeProperties::on_editLeafSize_valueChanged(double value)
{
    live->leafSize = float(value);
    edited();
}

void AdvancedTreeProperties::on_editWindSpeed_valueChanged(double value)
{
    live->windSpeed = value;
    edited();
}

void AdvancedTreeProperties::on_editWindSpeedNodirect_valueChanged(double value)
{
    live->windSpeedNodirect = value;
    edited();
}

void AdvancedTreeProperties::on_sliderNumberOfStrands_valueChanged(int position)
{
    live->numberOfStrands = position;
    ui->editNumberOfStrands->setValue(live->numberOfStrands);
    edited();
}

void AdvancedTreeProperties::on_sliderTrinkHeight_valueChanged(int position)
{
    live->trunkHeight = fromSlider(position, TrunkHeightScale);
    ui->editTrinkHeight->setValue(live->trunkHeight);
    edited();
}

void AdvancedTreeProperties::on_sliderBranchThicknessPerStrand_valueChanged(int position)
{
    live->branchThicknessPerStrand = float(fromSlider(position, ThicknessScale));
    ui->editBranchThicknessPerStrand->setValue(double(live->branchThicknessPerStrand));
    edited();
}

void AdvancedTreeProperties::on_sliderGravicentralism_valueChanged(int position)
{
    live->gravicentralism = fromSlider(position, GravicentralismScale);
    ui->editGravicentralism->setValue(live->gravicentralism);
    edited();
}

void AdvancedTreeProperties::on_sliderPhyllotaxisAngle_valueChanged(int position)
{
    live->phyllotaxisAngle = position;
    ui->editPhyllotaxisAngle->setValue(live->phyllotaxisAngle);
    edited();
}

void AdvancedTreeProperties::on_sliderLeafDensity_valueChanged(int position)
{
    live->leafDensity = position;
    ui->editLeafDensity->setValue(live->leafDensity);
    edited();
}

void AdvancedTreeProperties::on_sliderLeafSize_valueChanged(int position)
{
    live->leafSize = float(fromSlider(position, LeafSizeScale));
    ui->editLeafSize->setValue(double(live->leafSize));
    edited();
}

void AdvancedTreeProperties::on_sliderWindSpeed_valueChanged(int position)
{
    live->windSpeed = fromSlider(position, WindSpeedScale);
    ui->editWindSpeed->setValue(live->windSpeed);
    edited();
}

void AdvancedTreeProperties::on_sliderWindSpeedNodirect_valueChanged(int position)
{
    live->windSpeedNodirect = fromSlider(position, WindSpeedScale);
    ui->editWindSpeedNodirect->setValue(live->windSpeedNodirect);
    edited();
}

} // namespace gui
