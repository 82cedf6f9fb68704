#include "program/ZntTpListBox.h"

#include "platform/ResourceChain.h"
#include "platform/WindowMessage.h"
#include "program/DlgProgram.h"
#include "support/zvncst/ResScale.h"
#include "support/zvncst/ZntListBox.h"

#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>

namespace {

constexpr int IDB_SCROLL_SKIN = 8014;  // the controls library's scroll bar skin
constexpr int kWheelNotch = 120;
constexpr int kPageEntries = 5;  // a page request moves five entries, one less than the list shows

// the key flags of a mouse message
unsigned keyFlags(const QMouseEvent* e)
{
    unsigned flags = 0;
    if (e->buttons() & Qt::LeftButton)
        flags |= 0x0001;  // MK_LBUTTON
    if (e->buttons() & Qt::RightButton)
        flags |= 0x0002;  // MK_RBUTTON
    if (e->modifiers() & Qt::ShiftModifier)
        flags |= 0x0004;  // MK_SHIFT
    if (e->modifiers() & Qt::ControlModifier)
        flags |= 0x0008;  // MK_CONTROL
    if (e->buttons() & Qt::MiddleButton)
        flags |= 0x0010;  // MK_MBUTTON
    return flags;
}

}  // namespace

CZntTpListBox::CZntTpListBox() = default;

CZntTpListBox::~CZntTpListBox() = default;

int CZntTpListBox::Attach(int id, CDlgProgram* parent)
{
    auto* list = parent ? qobject_cast<CZntListBox*>(parent->GetDlgItem(id)) : nullptr;
    if (!list)
        return 0;
    // a new window of the dialog: what the last one knew is gone
    m_pParent = parent;
    m_pList = list;
    m_bScrollReady = 0;
    m_nTopIndex = 0;
    list->setFrameShape(QFrame::NoFrame);
    list->setAutoFillBackground(false);
    list->viewport()->setAutoFillBackground(false);  // not opaque: a scroll repaints every entry over the fixed background
    m_pWatchedList = list;
    m_pWatchedViewport = list->viewport();
    list->installEventFilter(this);
    list->viewport()->installEventFilter(this);
    QScrollBar* own = list->verticalScrollBar();
    connect(own, &QScrollBar::valueChanged, this, [this] {
        // keys, selection and every other move the list makes by itself
        m_nTopIndex = m_pList->GetTopIndex();
        if (m_bScrollReady)
            SetScrollPos(SB_VERT, m_nTopIndex, true);
    });
    connect(own, &QScrollBar::rangeChanged, this, [this] {
        readRange();
        if (m_bScrollReady)
            SetScrollRange(SB_VERT, m_nScrollMin, m_nScrollMax, true);
    });
    OnMove();
    if (!m_bPlainStyle) {
        const CResScale scale(153, 51, 1);
        scale.GetBitmap(list, m_bmpScroll, platform::LoadBitmap(IDB_SCROLL_SKIN), 0, 0);
        SkinWndScroll(list, m_bmpScroll);
    }
    return 1;
}

void CZntTpListBox::SetBkBitmap(int resource)
{
    m_nBackResource = resource;
    m_bmpBack = platform::LoadBitmap(resource);
}

void CZntTpListBox::readRange()
{
    const QScrollBar* own = m_pList->verticalScrollBar();
    m_nScrollMin = own->minimum();
    m_nScrollMax = own->maximum();
}

void CZntTpListBox::InitScroll(int position)
{
    if (!m_pList)
        return;
    readRange();
    m_nTopIndex = position;
    InitializeFlatScrollBar(m_pList);
    EnableScrollBar(SB_VERT, ESB_ENABLE_BOTH);
    SetScrollRange(SB_VERT, m_nScrollMin, m_nScrollMax, false);
    SetScrollPos(SB_VERT, position, true);
    m_pList->SetTopIndex(position);  // a list not shown yet takes it when it shows
    m_bScrollReady = 1;
}

void CZntTpListBox::UpdateScrollRange()
{
    if (!m_pList)
        return;
    readRange();
    SetScrollRange(SB_VERT, m_nScrollMin, m_nScrollMax, true);
    m_pList->viewport()->update();
}

int CZntTpListBox::GetScrollPos(int bar) const
{
    if (bar != SB_VERT || !m_pList)
        return 0;
    return m_pList->GetTopIndex();
}

void CZntTpListBox::moveTo(int top)
{
    // the list's own notice of the move brings the flat bar along
    m_pList->SetTopIndex(top);
    m_nTopIndex = m_pList->GetTopIndex();  // what the list made of it
    m_pList->viewport()->update();
}

int CZntTpListBox::ScrollBarWidth() const
{
    const QWidget* own = m_pList ? m_pList->verticalScrollBar() : nullptr;
    return own ? own->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, own) : 0;
}

void CZntTpListBox::OnEraseBkgnd()
{
    // the part of the dialog's picture the list lies over
    PasteBitmap(m_pList->viewport(), m_bmpBack, 0, 0, m_rcList.left(), m_rcList.top(), m_rcList.width() - ScrollBarWidth(),
                m_rcList.height());
}

void CZntTpListBox::OnMouseWheel(int delta)
{
    const int top = m_pList->GetTopIndex();
    if ((delta <= 0 && top == m_pList->count() - m_nPageEntries) || (delta > 0 && top == 0))
        return;
    const int next = std::clamp(m_nTopIndex - delta / kWheelNotch, m_nScrollMin, m_nScrollMax);
    if (next != m_nTopIndex)
        moveTo(next);
}

void CZntTpListBox::OnVScroll(int code, int position)
{
    if (!m_pList)
        return;
    const auto clamped = [this](int top) { return std::clamp(top, m_nScrollMin, m_nScrollMax); };
    int next = m_nTopIndex;
    switch (code) {
    case SB_LINEUP: next = clamped(m_nTopIndex - 1); break;
    case SB_LINEDOWN: next = clamped(m_nTopIndex + 1); break;
    case SB_PAGEUP: next = clamped(m_nTopIndex - kPageEntries); break;
    case SB_PAGEDOWN: next = clamped(m_nTopIndex + kPageEntries); break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: next = position; break;
    case SB_TOP: next = m_nScrollMin; break;
    case SB_BOTTOM: next = m_nScrollMax; break;
    default: break;
    }
    if (next != m_nTopIndex)
        moveTo(next);
}

void CZntTpListBox::OnMove()
{
    m_rcList = m_pList->geometry();
    const int height = m_pList->GetItemHeight();
    m_nPageEntries = height < 1 ? 0 : m_rcList.height() / height;
}

void CZntTpListBox::OnLButtonDblClk(unsigned flags, const QPoint& point)
{
    // the dialog decides: in its own coordinates, x in the low word and y in the high word
    const QPoint at = m_pList->mapTo(m_pParent, point);
    const auto lParam = static_cast<platform::LPARAM>((quint32(quint16(at.y())) << 16) | quint16(at.x()));
    platform::SendMessage(m_pParent, platform::WM_LBUTTONDBLCLK, flags, lParam);
}

bool CZntTpListBox::eventFilter(QObject* watched, QEvent* e)
{
    if (!m_pWatchedList || (watched != m_pWatchedList && watched != m_pWatchedViewport))
        return QObject::eventFilter(watched, e);
    switch (e->type()) {
    case QEvent::Paint:
        if (watched == m_pWatchedViewport)
            OnEraseBkgnd();  // then the list draws its entries over it
        break;
    case QEvent::Wheel:
        OnMouseWheel(static_cast<QWheelEvent*>(e)->angleDelta().y());
        return true;
    case QEvent::Move:
    case QEvent::Resize:
        if (watched == m_pWatchedList)
            OnMove();
        break;
    case QEvent::MouseButtonDblClick: {
        // only the left button's double-click is forwarded: the right and middle ones open nothing
        auto* mouse = static_cast<QMouseEvent*>(e);
        if (mouse->button() == Qt::LeftButton)
            OnLButtonDblClk(keyFlags(mouse), static_cast<QWidget*>(watched)->mapTo(m_pList, mouse->position().toPoint()));
        break;  // and the list's own handling follows
    }
    default: break;
    }
    return QObject::eventFilter(watched, e);
}
