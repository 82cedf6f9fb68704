#include "support/zvncst/ZntControl.h"

#include "support/zvncst/ZntDialog.h"

int CZntControl::Attach(int id, CZntDialog* dialog)
{
    QWidget* widget = dialog ? dialog->GetDlgItem(id) : nullptr;
    if (!widget)
        return 0;
    m_pWnd = widget;
    m_pDialog = dialog;
    m_nId = id;
    Skin(dialog->m_bPlainStyle != 0);
    return 1;
}

void CZntControl::Skin(bool) {}

void CZntControl::EnableWindow(bool enable)
{
    if (m_pWnd)
        m_pWnd->setEnabled(enable);
}

bool CZntControl::IsWindowEnabled() const { return m_pWnd && m_pWnd->isEnabled(); }

void CZntControl::ShowWindow(bool show)
{
    if (m_pWnd)
        m_pWnd->setVisible(show);
}

void CZntControl::SetFocus()
{
    if (m_pWnd)
        m_pWnd->setFocus();
}

QString CZntControl::GetWindowText() const { return m_pDialog ? m_pDialog->GetDlgItemText(m_nId) : QString(); }

void CZntControl::SetWindowText(const QString& text)
{
    if (m_pDialog)
        m_pDialog->SetDlgItemText(m_nId, text);
}
