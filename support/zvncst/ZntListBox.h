#pragma once
/// \file
/// The list box a template's "list" control becomes. Its selection changes
/// are announced (selChange) only when the user made them with the mouse or
/// the keyboard: a selection set by code raises no notification, as a list
/// box's own selection request does not. It scrolls by whole entries; an
/// owner-drawn list has entries of one height and hands their drawing to its
/// owner. A first visible entry set before the list is shown is the one it
/// shows, whatever it selected before.
#include <QListWidget>
#include <functional>

class QPainter;

/// one entry to draw, as an owner-drawn list hands it over
struct ZntDrawItem {
    QPainter* pDC;   ///< paints on the list's entry area
    QRect rcItem;    ///< the entry, in the entry area's coordinates
    int itemID;      ///< its index
    /// True when the entry is the list's current one.
    bool selected;
};

/// The list box a template's "list" control becomes: it announces the user's
/// selection changes alone, scrolls by whole entries, and can hand the drawing
/// of its entries, all of one height, to its owner.
class CZntListBox : public QListWidget {
    Q_OBJECT
public:
    /// An empty list that scrolls by whole entries.
    explicit CZntListBox(QWidget* parent = nullptr);

    /// every entry is then drawn by `draw`
    ///
    /// Until SetItemHeight() says otherwise an entry is one line of the list's font high.
    void SetOwnerDraw(std::function<void(const ZntDrawItem&)> draw);
    int SetItemHeight(int height);  ///< one height for every entry; 1, or 0 for a height below 1
    /// The entries' height in pixels, 0 until one is set.
    int GetItemHeight() const { return m_nItemHeight; }
    int GetTopIndex() const;        ///< the first visible entry
    int SetTopIndex(int index);     ///< limited to what the list can show first; returns 1

signals:
    /// The user changed the selection with the mouse or the keyboard (LBN_SELCHANGE).
    void selChange();

protected:
    /// At the first show after SetTopIndex(), the list scrolls to that entry.
    bool event(QEvent* e) override;
    /// A press of the left button is the user's: a selection it makes is announced. The
    /// right and middle buttons select nothing, as in a list box.
    void mousePressEvent(QMouseEvent* e) override;
    /// Only the left button's double-click reaches the list; the others change nothing.
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    /// A drag is the user's: a selection it makes is announced.
    void mouseMoveEvent(QMouseEvent* e) override;
    /// A key is the user's: a selection it makes is announced.
    void keyPressEvent(QKeyEvent* e) override;

private:
    int m_nUserInput = 0;  // > 0 while a mouse or key event of the user is handled
    int m_nItemHeight = 0;
    int m_nTopOnShow = -1;  // a first visible entry set while hidden, taken when the list has its size
    std::function<void(const ZntDrawItem&)> m_draw;
};
