#include "support/zvncst/ZntScrollBar.h"

#include <QAbstractScrollArea>
#include <QAccessibleWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOption>
#include <algorithm>

namespace {

constexpr int kFirstRepeatMs = 400;  // a held arrow repeats after this, then at kRepeatMs
constexpr int kRepeatMs = 50;

CZntFlatScrollBar* barOf(QAbstractScrollArea* window)
{
    if (!window)
        return nullptr;
    if (auto* bar = window->findChild<CZntFlatScrollBar*>(QString(), Qt::FindDirectChildrenOnly))
        return bar;
    return new CZntFlatScrollBar(window);  // a child of the window, which owns it
}

// What a screen reader reads of the flat bar: a scroll bar with the window's name, its
// position as a value in its range, and a position it may set, as it would on a standard one.
class FlatScrollBarAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit FlatScrollBarAccessible(CZntFlatScrollBar* bar) : QAccessibleWidget(bar, QAccessible::ScrollBar) {}

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ValueInterface ? static_cast<QAccessibleValueInterface*>(this)
                                                   : QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return widget()->parentWidget()->accessibleName();
        return QAccessibleWidget::text(t);
    }
    QVariant currentValue() const override { return bar()->Pos(); }
    void setCurrentValue(const QVariant& value) override { emit bar()->scrollRequest(SB_THUMBPOSITION, value.toInt()); }
    QVariant maximumValue() const override { return bar()->Maximum(); }
    QVariant minimumValue() const override { return bar()->Minimum(); }
    QVariant minimumStepSize() const override { return 1; }

private:
    CZntFlatScrollBar* bar() const { return static_cast<CZntFlatScrollBar*>(widget()); }
};

QAccessibleInterface* accessibleFlatBar(const QString& className, QObject* object)
{
    if (className == u"CZntFlatScrollBar" && object && object->isWidgetType())
        return new FlatScrollBarAccessible(static_cast<CZntFlatScrollBar*>(object));  // the accessibility cache owns it
    return nullptr;
}

}  // namespace

CZntFlatScrollBar::CZntFlatScrollBar(QAbstractScrollArea* window) : QWidget(window), m_pWindow(window)
{
    static const bool accessible = (QAccessible::installFactory(accessibleFlatBar), true);
    Q_UNUSED(accessible);
    hide();
    // the window keeps the strip of a vertical scroll bar, and the flat bar lies over it
    window->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    window->verticalScrollBar()->hide();  // its strip stays, and only the flat bar is seen there
    window->installEventFilter(this);
    if (QWidget* strip = window->verticalScrollBar()->parentWidget(); strip && strip != window)
        strip->installEventFilter(this);
    followWindow();
}

void CZntFlatScrollBar::followWindow()
{
    QWidget* strip = m_pWindow->verticalScrollBar()->parentWidget();
    QRect place;
    if (strip && strip != m_pWindow)
        place = strip->geometry();
    if (place.isEmpty()) {
        const int extent = m_pWindow->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_pWindow);
        const QRect inner = m_pWindow->contentsRect();
        place = QRect(inner.right() + 1 - extent, inner.top(), extent, inner.height());
    }
    setGeometry(place);
    raise();
}

bool CZntFlatScrollBar::eventFilter(QObject*, QEvent* e)
{
    if (e->type() == QEvent::Resize || e->type() == QEvent::Move || e->type() == QEvent::Show)
        followWindow();
    return false;
}

void CZntFlatScrollBar::SetSkin(const QImage& skin)
{
    m_skin = skin;
    update();
}

void CZntFlatScrollBar::SetRange(int minimum, int maximum, bool redraw)
{
    m_nMin = minimum;
    m_nMax = std::max(minimum, maximum);
    m_nPos = std::clamp(m_nPos, m_nMin, m_nMax);
    if (redraw)
        update();
}

void CZntFlatScrollBar::SetPos(int position, bool redraw)
{
    m_nPos = std::clamp(position, m_nMin, m_nMax);
    if (QAccessible::isActive()) {
        QAccessibleValueChangeEvent moved(this, m_nPos);
        QAccessible::updateAccessibility(&moved);
    }
    if (redraw)
        update();
}

void CZntFlatScrollBar::SetDisabledArrows(unsigned arrows)
{
    m_nDisabled = arrows;
    update();
}

int CZntFlatScrollBar::arrowSize() const { return std::min(width(), height() / 2); }

QRect CZntFlatScrollBar::ThumbRect() const
{
    const int arrow = arrowSize();
    const int track = height() - 2 * arrow;
    const int thumb = arrow;  // a square, as the skin draws it
    if (m_nMax <= m_nMin || track < thumb)
        return {};
    const int pos = m_nDragOffset >= 0 ? m_nTrackPos : m_nPos;
    const int top = arrow + int(qint64(pos - m_nMin) * (track - thumb) / (m_nMax - m_nMin));
    return {0, top, width(), thumb};
}

int CZntFlatScrollBar::positionAt(int y) const
{
    const int arrow = arrowSize();
    const int room = height() - 3 * arrow;
    if (room <= 0 || m_nMax <= m_nMin)
        return m_nMin;
    const int top = y - m_nDragOffset - arrow;
    return std::clamp(m_nMin + int((qint64(top) * (m_nMax - m_nMin) + room / 2) / room), m_nMin, m_nMax);
}

void CZntFlatScrollBar::request(int code, int position) { emit scrollRequest(code, position); }

void CZntFlatScrollBar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const int arrow = arrowSize();
    const QRect up(0, 0, width(), arrow), down(0, height() - arrow, width(), arrow);
    const QRect thumb = ThumbRect();
    const bool upOff = (m_nDisabled & ESB_DISABLE_LTUP) || !isEnabled();
    const bool downOff = (m_nDisabled & ESB_DISABLE_RTDN) || !isEnabled();
    if (!m_skin.isNull()) {
        const int cell = m_skin.height();
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.fillRect(rect(), m_skin.pixelColor(0, 0));  // the cells' own ground
        const auto drawCell = [&](const QRect& to, int index, bool off) {
            p.setOpacity(off ? 0.4 : 1.0);
            p.drawImage(to, m_skin, QRect(index * cell, 0, cell, cell));
        };
        drawCell(up, 0, upOff);
        drawCell(down, 1, downOff);
        if (!thumb.isEmpty())
            drawCell(thumb, 2, false);
        return;
    }
    // unskinned: the system's own look for the same parts
    p.fillRect(rect(), palette().color(QPalette::Midlight));
    QStyleOption option;
    option.initFrom(this);
    const auto drawButton = [&](const QRect& r, QStyle::PrimitiveElement arrowElement, bool off) {
        option.rect = r;
        option.state = off ? QStyle::State_None : QStyle::State_Enabled | QStyle::State_Raised;
        style()->drawPrimitive(QStyle::PE_PanelButtonBevel, &option, &p, this);
        if (arrowElement != QStyle::PE_CustomBase)
            style()->drawPrimitive(arrowElement, &option, &p, this);
    };
    drawButton(up, QStyle::PE_IndicatorArrowUp, upOff);
    drawButton(down, QStyle::PE_IndicatorArrowDown, downOff);
    if (!thumb.isEmpty())
        drawButton(thumb, QStyle::PE_CustomBase, false);
}

void CZntFlatScrollBar::mousePressEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton || (m_nDisabled & ESB_DISABLE_BOTH) == ESB_DISABLE_BOTH)
        return;
    const int y = e->position().toPoint().y();
    const int arrow = arrowSize();
    const QRect thumb = ThumbRect();
    int code = -1;
    if (y < arrow)
        code = (m_nDisabled & ESB_DISABLE_LTUP) ? -1 : SB_LINEUP;
    else if (y >= height() - arrow)
        code = (m_nDisabled & ESB_DISABLE_RTDN) ? -1 : SB_LINEDOWN;
    else if (thumb.contains(0, y)) {
        m_nDragOffset = y - thumb.top();
        m_nTrackPos = m_nPos;
        return;
    } else if (!thumb.isEmpty())
        code = y < thumb.top() ? SB_PAGEUP : SB_PAGEDOWN;
    if (code < 0)
        return;
    m_nRepeat = code;
    request(code);
    m_repeat.start(kFirstRepeatMs, this);
}

void CZntFlatScrollBar::mouseMoveEvent(QMouseEvent* e)
{
    if (m_nDragOffset < 0)
        return;
    const int position = positionAt(e->position().toPoint().y());
    if (position == m_nTrackPos)
        return;
    m_nTrackPos = position;
    update();
    request(SB_THUMBTRACK, position);
}

void CZntFlatScrollBar::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton)
        return;
    m_repeat.stop();
    m_nRepeat = -1;
    if (m_nDragOffset >= 0) {
        m_nDragOffset = -1;
        request(SB_THUMBPOSITION, m_nTrackPos);
    }
    request(SB_ENDSCROLL);
    update();
}

void CZntFlatScrollBar::wheelEvent(QWheelEvent* e)
{
    e->ignore();  // the window turns its own wheel
}

void CZntFlatScrollBar::timerEvent(QTimerEvent* e)
{
    if (e->timerId() != m_repeat.timerId())
        return QWidget::timerEvent(e);
    m_repeat.start(kRepeatMs, this);
    // a page request stops once the thumb has reached the pointer
    const int y = mapFromGlobal(QCursor::pos()).y();
    const QRect thumb = ThumbRect();
    if ((m_nRepeat == SB_PAGEUP && y >= thumb.top()) || (m_nRepeat == SB_PAGEDOWN && y <= thumb.bottom()))
        return;
    if (m_nRepeat >= 0)
        request(m_nRepeat);
}

int CZntScrollBar::InitializeFlatScrollBar(QAbstractScrollArea* window)
{
    CZntFlatScrollBar* bar = barOf(window);
    if (!bar)
        return 0;
    if (m_pBar != bar)
        QObject::connect(bar, &CZntFlatScrollBar::scrollRequest, bar, [this](int code, int position) { OnVScroll(code, position); });
    m_pBar = bar;
    bar->show();
    bar->raise();
    return 1;
}

int CZntScrollBar::SetScrollRange(int bar, int minimum, int maximum, bool redraw)
{
    if (bar != SB_VERT || !m_pBar)
        return 0;
    m_pBar->SetRange(minimum, maximum, redraw);
    return 1;
}

int CZntScrollBar::SetScrollPos(int bar, int position, bool redraw)
{
    if (bar != SB_VERT || !m_pBar)
        return 0;
    const int previous = m_pBar->Pos();
    m_pBar->SetPos(position, redraw);
    return previous;
}

int CZntScrollBar::EnableScrollBar(int bar, unsigned arrows)
{
    if (bar != SB_VERT || !m_pBar)
        return 0;
    m_pBar->SetDisabledArrows(arrows);
    return 1;
}

void CZntScrollBar::OnVScroll(int, int) {}

int SkinWndScroll(QAbstractScrollArea* window, const QImage& bitmap)
{
    CZntFlatScrollBar* bar = barOf(window);
    if (!bar || bitmap.isNull())
        return 0;
    bar->SetSkin(bitmap);
    return 1;
}
