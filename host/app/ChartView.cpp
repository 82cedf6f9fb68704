#include "host/app/ChartView.h"

#include "host/core/SimulatedCore.h"

#include <QPainter>

CChartView::CChartView(CSimulatedCore& core, QWidget* parent) : QWidget(parent), m_core(core)
{
    connect(&m_core, &CSimulatedCore::skyChanged, this, [this] {
        m_chart = QImage();
        update();
    });
}

void CChartView::resizeEvent(QResizeEvent*) { m_chart = QImage(); }

void CChartView::paintEvent(QPaintEvent*)
{
    // drawn only when something changed, not at every repaint
    if (m_chart.size() != size())
        m_chart = m_core.RenderChart(size());
    QPainter(this).drawImage(0, 0, m_chart);
}
