#include "support/zvncst/ZntRichEditCtrl.h"

#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <QTextEdit>

void CZntRichEditCtrl::SetLimitText(int characters)
{
    auto* edit = qobject_cast<QTextEdit*>(GetWnd());
    m_nLimit = characters;
    // each DoModal makes the box anew: the new box needs the limiter too, once
    if (!edit || edit == m_pLimited)
        return;
    m_pLimited = edit;
    // As the platform's box does, what would pass the limit is refused where it comes in: a
    // character typed into a full box is not taken, a paste is cut to what fits, and the text
    // around it stays as it was.
    QObject::connect(edit->document(), &QTextDocument::contentsChange, edit, [this, edit](int position, int, int added) {
        // the document counts a last paragraph end of its own that the text does not hold
        const int length = edit->document()->characterCount() - 1;
        const int excess = length - m_nLimit;
        if (m_nLimit <= 0 || excess <= 0)
            return;
        const int end = std::min(position + added, length);
        QTextCursor cursor(edit->document());
        cursor.setPosition(std::max(position, end - excess));
        cursor.setPosition(end, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
    });
}

void CZntRichEditCtrl::SetReadOnly(bool readOnly)
{
    if (auto* edit = qobject_cast<QTextEdit*>(GetWnd()))
        edit->setReadOnly(readOnly);
}
