#pragma once
#include <QImage>
#include <QWidget>

class CSimulatedCore;

// The host window's view of the sky: the core's chart, drawn again whenever
// the sky changes or the window is resized.
class CChartView : public QWidget {
    Q_OBJECT
public:
    explicit CChartView(CSimulatedCore& core, QWidget* parent = nullptr);
    QSize sizeHint() const override { return {960, 640}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    CSimulatedCore& m_core;
    QImage m_chart;
};
