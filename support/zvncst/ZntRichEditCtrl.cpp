#include "support/zvncst/ZntRichEditCtrl.h"

#include <QTextCursor>
#include <QTextEdit>

void CZntRichEditCtrl::SetLimitText(int characters)
{
    auto* edit = qobject_cast<QTextEdit*>(GetWnd());
    if (!edit || m_nLimit != 0) {
        m_nLimit = characters;
        return;
    }
    m_nLimit = characters;
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
