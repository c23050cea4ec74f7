// The simulation: "Simulation" or F2 starts and stops a 15 ms timer whose
// ticks turn the plot about its x or z axis by a degree, or sweep Q.
#include "app/mainwindow.h"

#include "app/simulation.h"
#include "app/spinfield.h"

#include <QButtonGroup>
#include <QPushButton>

void MainWindow::toggleSimulation() {
    cancelFill();
    if (m_simulationTimer.isActive())
        m_simulationTimer.stop();
    else
        m_simulationTimer.start();
    m_simulationButton->setText(m_simulationTimer.isActive() ? QStringLiteral("Stopp")
                                                             : QStringLiteral("Simulation"));
}

void MainWindow::SimulationTick() {
    switch (m_simulationKinds->checkedId()) {
    case 2: {
        // Ticks do not queue behind a slow fill: one that finds it running
        // is skipped.
        if (FillRunning()) return;
        simulation::QSweep sweep{m_qField->Value(), m_qStepField->Value() / 100, m_state.sweepUp};
        sweep.Tick();
        m_state.sweepUp = sweep.up;
        sampling::SetQ(sweep.q);
        m_qField->SetValue(sweep.q); // refills when the field changes
        break;
    }
    case 1:
        m_angleZField->SetValue(simulation::NextAngle(m_angleZField->Value()));
        break;
    default:
        m_angleXField->SetValue(simulation::NextAngle(m_angleXField->Value()));
        break;
    }
}
