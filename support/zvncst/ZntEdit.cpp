#include "support/zvncst/ZntEdit.h"

#include <QLineEdit>
#include <QPlainTextEdit>

void CZntEdit::SetLimitText(int characters)
{
    if (auto* line = qobject_cast<QLineEdit*>(GetWnd()))
        line->setMaxLength(characters);
}

void CZntEdit::SetReadOnly(bool readOnly)
{
    if (auto* line = qobject_cast<QLineEdit*>(GetWnd()))
        line->setReadOnly(readOnly);
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(GetWnd()))
        plain->setReadOnly(readOnly);
}
