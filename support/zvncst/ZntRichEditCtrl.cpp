#include "support/zvncst/ZntRichEditCtrl.h"

#include <QTextCursor>
#include <QTextEdit>

void CZntRichEditCtrl::SetLimitText(int characters)
{
    auto* edit = qobject_cast<QTextEdit*>(GetWnd());
    m_nLimit = characters;
    // each DoModal makes the box anew: the new box needs the limiter too, once
    if (!edit || edit == m_pLimited)
        return;
    m_pLimited = edit;
    QObject::connect(edit, &QTextEdit::textChanged, edit, [this, edit] {
        const QString text = edit->toPlainText();
        if (m_nLimit <= 0 || text.size() <= m_nLimit)
            return;
        // what goes past the limit is dropped, as the Windows control refuses it
        QTextCursor cursor(edit->document());
        cursor.setPosition(m_nLimit);
        cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
    });
}

void CZntRichEditCtrl::SetReadOnly(bool readOnly)
{
    if (auto* edit = qobject_cast<QTextEdit*>(GetWnd()))
        edit->setReadOnly(readOnly);
}
