#pragma once
// The list box a template's "list" control becomes. Its selection changes
// are announced (selChange) only when the user made them with the mouse or
// the keyboard: a selection set by code raises no notification, as a list
// box's own selection request does not. It scrolls by whole entries; an
// owner-drawn list has entries of one height and hands their drawing to its
// owner. A first visible entry set before the list is shown is the one it
// shows, whatever it selected before.
#include <QListWidget>
#include <functional>

class QPainter;

// one entry to draw, as an owner-drawn list hands it over
struct ZntDrawItem {
    QPainter* pDC;   // paints on the list's entry area
    QRect rcItem;    // the entry, in the entry area's coordinates
    int itemID;      // its index
    bool selected;
};

class CZntListBox : public QListWidget {
    Q_OBJECT
public:
    explicit CZntListBox(QWidget* parent = nullptr);

    // every entry is then drawn by `draw`
    void SetOwnerDraw(std::function<void(const ZntDrawItem&)> draw);
    int SetItemHeight(int height);  // one height for every entry
    int GetItemHeight() const { return m_nItemHeight; }
    int GetTopIndex() const;        // the first visible entry
    int SetTopIndex(int index);     // limited to what the list can show first

signals:
    void selChange();

protected:
    bool event(QEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    int m_nUserInput = 0;  // > 0 while a mouse or key event of the user is handled
    int m_nItemHeight = 0;
    int m_nTopOnShow = -1;  // a first visible entry set while hidden, taken when the list has its size
    std::function<void(const ZntDrawItem&)> m_draw;
};
