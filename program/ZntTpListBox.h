#pragma once
// The program dialog's list: it takes over the dialog's list control, paints
// its background from a bitmap so that it blends into the dialog, replaces
// the list's scroll bar with the controls library's flat one (skinned unless
// dialogs are drawn plain), keeps that bar in step with the first visible
// entry, and hands its double-clicks to the dialog.
#include "support/zvncst/ZntDialogBase.h"
#include "support/zvncst/ZntScrollBar.h"

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QRect>

class CDlgProgram;
class CZntListBox;

class CZntTpListBox : public QObject, public CZntDialogBase, public CZntScrollBar {
    Q_OBJECT
public:
    CZntTpListBox();
    ~CZntTpListBox() override;

    // takes over the dialog's list `id`; 0 when it is no list
    int Attach(int id, CDlgProgram* parent);
    void SetBkBitmap(int resource);
    void InitScroll(int position);
    void UpdateScrollRange();
    int GetScrollPos(int bar) const;  // SB_VERT: the first visible entry

    CZntListBox* List() const { return m_pList; }
    int GetTopIndex() const { return m_nTopIndex; }
    int GetPageEntries() const { return m_nPageEntries; }
    int ScrollBarWidth() const;  // the system's width of a vertical scroll bar
    const QImage& GetBkBitmap() const { return m_bmpBack; }

    // what the list does with its own messages
    void OnEraseBkgnd();
    void OnMouseWheel(int delta);
    void OnVScroll(int code, int position) override;
    void OnMove();
    void OnLButtonDblClk(unsigned flags, const QPoint& point);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void moveTo(int top);
    void readRange();

    CDlgProgram* m_pParent = nullptr;
    QPointer<CZntListBox> m_pList;
    // what the filter watches, as plain widgets: a list being destroyed is no list box any
    // more, and the events its end sends are told from others without taking it for one
    QPointer<QWidget> m_pWatchedList, m_pWatchedViewport;
    QRect m_rcList;
    QImage m_bmpBack;
    int m_nBackResource = 0;
    QImage m_bmpScroll;
    int m_bScrollReady = 0;
    int m_nTopIndex = 0;
    int m_nScrollMin = 0;
    int m_nScrollMax = 100;
    int m_nPageEntries = 0;
};
