#include "support/zvncst/ZntListBox.h"

#include <QAbstractItemDelegate>
#include <QEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <algorithm>
#include <utility>

namespace {

// counts the user's event for as long as the list handles it
class UserInput {
public:
    explicit UserInput(int& depth) : m_depth(depth) { ++m_depth; }
    ~UserInput() { --m_depth; }
    UserInput(const UserInput&) = delete;
    UserInput& operator=(const UserInput&) = delete;

private:
    int& m_depth;
};

// hands each entry to the list's owner, at the list's one entry height
class OwnerDrawDelegate : public QAbstractItemDelegate {
public:
    OwnerDrawDelegate(CZntListBox* list, std::function<void(const ZntDrawItem&)> draw)
        : QAbstractItemDelegate(list), m_list(list), m_draw(std::move(draw))
    {
    }
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        m_draw({painter, option.rect, index.row(), m_list->currentRow() == index.row()});
    }
    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override
    {
        return {m_list->viewport()->width(), m_list->GetItemHeight()};
    }

private:
    CZntListBox* m_list;
    std::function<void(const ZntDrawItem&)> m_draw;
};

}  // namespace

CZntListBox::CZntListBox(QWidget* parent) : QListWidget(parent)
{
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    connect(this, &QListWidget::currentRowChanged, this, [this] {
        if (!isVisible())
            m_nTopOnShow = -1;  // the later request wins: the selection shows itself
        if (m_nUserInput > 0)
            emit selChange();
    });
}

void CZntListBox::SetOwnerDraw(std::function<void(const ZntDrawItem&)> draw)
{
    // until its owner says otherwise, an entry is one line of the list's font high
    if (m_nItemHeight < 1)
        m_nItemHeight = fontMetrics().height();
    QAbstractItemDelegate* old = itemDelegate();
    setItemDelegate(new OwnerDrawDelegate(this, std::move(draw)));
    if (old && old->parent() == this)
        delete old;
}

int CZntListBox::SetItemHeight(int height)
{
    if (height < 1)
        return 0;
    m_nItemHeight = height;
    setUniformItemSizes(true);
    doItemsLayout();
    return 1;
}

int CZntListBox::GetTopIndex() const { return m_nTopOnShow >= 0 ? m_nTopOnShow : verticalScrollBar()->value(); }

int CZntListBox::SetTopIndex(int index)
{
    // a hidden list has no scroll range yet, and its show scrolls the current entry into view
    if (!isVisible())
        m_nTopOnShow = std::max(0, index);
    verticalScrollBar()->setValue(index);
    return 1;
}

bool CZntListBox::event(QEvent* e)
{
    const bool handled = QListWidget::event(e);
    if (e->type() == QEvent::Show && m_nTopOnShow >= 0)
        verticalScrollBar()->setValue(std::exchange(m_nTopOnShow, -1));  // laid out now: the range is known
    return handled;
}

void CZntListBox::mousePressEvent(QMouseEvent* e)
{
    // a list box selects with the left button alone: the right and middle ones change nothing
    if (e->button() != Qt::LeftButton) {
        e->accept();
        return;
    }
    const UserInput input(m_nUserInput);
    QListWidget::mousePressEvent(e);
}

void CZntListBox::mouseDoubleClickEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton) {
        e->accept();
        return;
    }
    QListWidget::mouseDoubleClickEvent(e);
}

void CZntListBox::mouseMoveEvent(QMouseEvent* e)
{
    const UserInput input(m_nUserInput);
    QListWidget::mouseMoveEvent(e);
}

void CZntListBox::keyPressEvent(QKeyEvent* e)
{
    const UserInput input(m_nUserInput);
    QListWidget::keyPressEvent(e);
}
