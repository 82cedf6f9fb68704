#include "support/zvncst/ZntCheckBox.h"

#include <QCheckBox>

int CZntCheckBox::GetCheck() const
{
    auto* box = qobject_cast<QCheckBox*>(GetWnd());
    return box && box->isChecked() ? 1 : 0;
}

void CZntCheckBox::SetCheck(int check)
{
    if (auto* box = qobject_cast<QCheckBox*>(GetWnd()))
        box->setChecked(check != 0);
}
