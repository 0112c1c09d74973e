#include "gui/dialogs/ecosystemstatistics.h"

#include "ui_ecosystemstatistics.h"

#include "ecosystem/simulation/simulationstatistics.h"
#include "ecosystem/simulation/statisticscsv.h"
#include "gui/dialogs/statisticsgraph.h"
#include "gui/dialogservice.h"
#include "io/atomicfilewriter.h"

#include <QLayout>

#include <cmath>
#include <string>

namespace gui {

namespace {

// Pixels per factor e of plants.
constexpr double PixelsPerE = 20.0;

// The plot's coordinates are single precision.
double single(double value)
{
    return static_cast<double>(static_cast<float>(value));
}

} // namespace

EcosystemStatistics::EcosystemStatistics(QWidget *parent,
                                         const ecosystem::SimulationStatistics *simulationStatistics)
    : QDialog(parent), ui(std::make_unique<Ui::EcosystemStatistics>()), statistics(simulationStatistics)
{
    ui->setupUi(this);
    connect(ui->izbranaVrsta, &QComboBox::currentIndexChanged, this, &EcosystemStatistics::izberiVrsto);
    connect(ui->graf1, &StatisticsGraph::hoverChanged, this, &EcosystemStatistics::hoverLivingSpeciesChanged);
    connect(ui->closeButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->saveCsvButton, &QPushButton::clicked, this, &EcosystemStatistics::saveAsCsv);
    // The plot is laid out by the graph's height: give the graph its real size before the first one.
    layout()->activate();
    nrPlantsLivingChanged();
}

EcosystemStatistics::~EcosystemStatistics() = default;

StatisticsGraph *EcosystemStatistics::graph() const
{
    return ui->graf1;
}

QPolygonF EcosystemStatistics::plotPoints(const lignet::Krivulja &series, int height)
{
    QPolygonF points;
    points.reserve(static_cast<qsizetype>(series.size()));
    for (const lignet::KrivuljaPoint &p : series.points()) {
        const double up = p.y > 0.0 ? PixelsPerE * std::log(p.y) : 0.0;
        points.append({single(p.x), single(height - up)});
    }
    return points;
}

const ecosystem::SimulationStatistics &EcosystemStatistics::read() const
{
    if (beforeReading)
        beforeReading();
    return *statistics;
}

void EcosystemStatistics::izberiVrsto(int index)
{
    selectedSpecies = index;
    nrPlantsLivingChanged();
    nrPlantsRenderedChanged();
}

void EcosystemStatistics::nrPlantsLivingChanged()
{
    if (!ui->showOnlyRenderedOnes->isChecked())
        plot(read().livingSeries());
}

void EcosystemStatistics::nrPlantsRenderedChanged()
{
    if (ui->showOnlyRenderedOnes->isChecked())
        plot(read().renderedSeries());
}

void EcosystemStatistics::plot(const std::vector<lignet::Krivulja> &series)
{
    // Before the first step (or the first drawn frame) there is no series to show yet.
    const auto index = static_cast<std::size_t>(selectedSpecies);
    if (selectedSpecies < 0 || index >= series.size() || series[index].empty()) {
        ui->graf1->setPoints({});
        refreshStatistics();
        return;
    }
    const lignet::Krivulja &curve = series[index];
    ui->graf1->setPoints(plotPoints(curve, ui->graf1->height()));
    showValue(curve.points().back().x, curve.points().back().y);
    refreshStatistics();
}

void EcosystemStatistics::hoverLivingSpeciesChanged(QPointF position)
{
    const double height = ui->graf1->height();
    showValue(single(position.x()), std::exp((height - position.y()) / PixelsPerE));
}

void EcosystemStatistics::showValue(double x, double count)
{
    ui->currentValue->setText(
        QStringLiteral("(%1, %2)").arg(QString::number(x, 'g', 6), QString::number(count, 'g', 6)));
}

void EcosystemStatistics::refreshStatistics()
{
    ui->graf1->setConnectionPen(
        QPen(QColor(255, 255, 255, 200), 2, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    ui->graf1->update();
}

void EcosystemStatistics::saveAsCsv()
{
    DialogService &dialogs = dialogServiceFor(this);
    const QString name =
        dialogs.getSaveFileName(this, tr("Save statistics as CSV"), QString(), tr("CSV files (*.csv)"));
    if (name.isEmpty())
        return;
    std::string reason;
    if (!io::AtomicFileWriter::write(name.toLocal8Bit().toStdString(), ecosystem::statisticsCsv(read()),
                                     &reason))
        dialogs.information(this, tr("Error"), tr("Could not save file."), QString::fromStdString(reason));
}

} // namespace gui
