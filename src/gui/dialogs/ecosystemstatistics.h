#pragma once

#include <QDialog>
#include <QPointF>
#include <QPolygonF>

#include <functional>
#include <memory>
#include <vector>

namespace Ui {
class EcosystemStatistics;
}

namespace ecosystem {
class SimulationStatistics;
}

namespace lignet {
class Krivulja;
}

namespace gui {

class StatisticsGraph;

// Plants of one species over the steps of the simulation, living or only those drawn, on a
// logarithmic plant axis; follows the statistics while it is open and saves them as CSV.
class EcosystemStatistics : public QDialog {
    Q_OBJECT

public:
    // The statistics are the simulation's and must outlive the dialog.
    EcosystemStatistics(QWidget *parent, const ecosystem::SimulationStatistics *statistics);
    ~EcosystemStatistics() override;

    StatisticsGraph *graph() const;
    // Called before every read of the statistics: a simulation step running on another thread
    // must end first (the main window passes the model's wait).
    void setBeforeReading(std::function<void()> wait) { beforeReading = std::move(wait); }

    // Graph points of a series for a graph `height` pixels high: one pixel per point to the right,
    // 20 pixels up per factor e of plants, a count of 1 on the bottom edge. A count of 0 has no
    // place on a logarithmic axis and is drawn on the bottom edge too.
    static QPolygonF plotPoints(const lignet::Krivulja &series, int height);

public slots:
    void izberiVrsto(int index);
    void nrPlantsLivingChanged();
    void nrPlantsRenderedChanged();
    void hoverLivingSpeciesChanged(QPointF position);
    void refreshStatistics();
    // Asks for a file name and writes every species' living and drawn counts per step.
    void saveAsCsv();

private:
    void plot(const std::vector<lignet::Krivulja> &series);
    void showValue(double x, double count);
    const ecosystem::SimulationStatistics &read() const;

    std::unique_ptr<Ui::EcosystemStatistics> ui;
    const ecosystem::SimulationStatistics *statistics;
    std::function<void()> beforeReading;
    int selectedSpecies = 0;
};

} // namespace gui
