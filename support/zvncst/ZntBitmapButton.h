#pragma once
// A button drawn from four bitmaps of the resource chain, named by its
// caption and a suffix: U up, D pressed, F focused, X disabled.
#include <QAbstractButton>
#include <QImage>

class CZntBitmapButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit CZntBitmapButton(const QString& caption, QWidget* parent = nullptr);

    // loads the four images named caption + U/D/F/X; 0 when any is missing
    int LoadBitmaps(const QString& caption);

    void SetCheck(int check) { m_nCheck = check; }
    int GetCheck() const { return m_nCheck; }
    void SetFlag(int flag) { m_nFlag = flag; }
    int GetFlag() const { return m_nFlag; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_up, m_down, m_focused, m_disabled;
    int m_nCheck = 0;
    int m_nFlag = 0;
};
