#pragma once
// The controls library's flat scroll bar: it stands in for a window's own
// vertical scroll bar, keeps a range and a position of its own, and sends
// the window scroll requests (line, page, thumb, top, bottom) that the
// window answers by setting its position. SkinWndScroll draws it from a
// bitmap of three square cells: arrow up, arrow down, thumb.
#include <QBasicTimer>
#include <QImage>
#include <QPointer>
#include <QWidget>

class QAbstractScrollArea;

// scroll requests and bars, as Windows numbers them
enum : int {
    SB_LINEUP = 0,
    SB_LINEDOWN = 1,
    SB_PAGEUP = 2,
    SB_PAGEDOWN = 3,
    SB_THUMBPOSITION = 4,
    SB_THUMBTRACK = 5,
    SB_TOP = 6,
    SB_BOTTOM = 7,
    SB_ENDSCROLL = 8,
};
enum : int { SB_HORZ = 0, SB_VERT = 1 };
enum : unsigned { ESB_ENABLE_BOTH = 0, ESB_DISABLE_LTUP = 1, ESB_DISABLE_RTDN = 2, ESB_DISABLE_BOTH = 3 };

// The bar itself: it lies over the strip its window keeps for a vertical scroll bar.
class CZntFlatScrollBar : public QWidget {
    Q_OBJECT
public:
    explicit CZntFlatScrollBar(QAbstractScrollArea* window);

    void SetSkin(const QImage& skin);
    void SetRange(int minimum, int maximum, bool redraw);
    void SetPos(int position, bool redraw);
    void SetDisabledArrows(unsigned arrows);
    int Pos() const { return m_nPos; }
    int Minimum() const { return m_nMin; }
    int Maximum() const { return m_nMax; }
    QRect ThumbRect() const;

signals:
    void scrollRequest(int code, int position);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void timerEvent(QTimerEvent* e) override;

private:
    void followWindow();
    int arrowSize() const;
    int positionAt(int y) const;
    void request(int code, int position = 0);

    QAbstractScrollArea* m_pWindow;
    QImage m_skin;
    int m_nMin = 0;
    int m_nMax = 100;
    int m_nPos = 0;
    unsigned m_nDisabled = ESB_ENABLE_BOTH;
    int m_nRepeat = -1;       // the request repeated while the button is held
    int m_nDragOffset = -1;   // where the thumb was taken, while it is dragged
    int m_nTrackPos = 0;
    QBasicTimer m_repeat;
};

// What a window with a flat scroll bar derives from.
class CZntScrollBar {
public:
    virtual ~CZntScrollBar() = default;

    // Puts the flat scroll bar over the window's own; 1 on success.
    int InitializeFlatScrollBar(QAbstractScrollArea* window);
    int SetScrollRange(int bar, int minimum, int maximum, bool redraw);
    int SetScrollPos(int bar, int position, bool redraw);
    int EnableScrollBar(int bar, unsigned arrows);
    CZntFlatScrollBar* FlatScrollBar() const { return m_pBar; }

    // a scroll request of the flat scroll bar
    virtual void OnVScroll(int code, int position);

private:
    QPointer<CZntFlatScrollBar> m_pBar;
};

// Draws the window's flat scroll bar from the bitmap; 1 on success.
int SkinWndScroll(QAbstractScrollArea* window, const QImage& bitmap);
