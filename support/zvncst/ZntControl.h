#pragma once
/// \file
/// A skinned control attached to a control the dialog's template made:
/// Attach(id, dialog) finds it by id; the control object then speaks for it.
#include <QPointer>
#include <QString>
#include <QWidget>

class CZntDialog;

/// The base of the skinned controls. A dialog attaches its controls each time
/// its window is made (every DoModal); the object follows the newest control.
class CZntControl {
public:
    /// Leaves the control to its dialog.
    virtual ~CZntControl() = default;

    /// 1 when the dialog has a control with that id, else 0.
    ///
    /// The control is then skinned, or left in the system's colours when the
    /// dialog is drawn plain.
    int Attach(int id, CZntDialog* dialog);

    /// The attached control; null before Attach() or once the dialog's window destroyed it.
    QWidget* GetWnd() const { return m_pWnd.data(); }
    /// The attached control's id, -1 before Attach().
    int GetDlgCtrlID() const { return m_nId; }
    /// Enables or disables the control.
    void EnableWindow(bool enable);
    /// True when the control is there and enabled.
    bool IsWindowEnabled() const;
    /// Shows or hides the control.
    void ShowWindow(bool show);
    /// Gives the control the focus.
    void SetFocus();
    /// The control's text, as CZntDialog::GetDlgItemText() reads it.
    QString GetWindowText() const;
    /// Sets the control's text, as CZntDialog::SetDlgItemText() does.
    void SetWindowText(const QString& text);

protected:
    virtual void Skin(bool plain);  ///< called by Attach with the dialog's plain-style flag
    /// The dialog it is attached to, null before Attach().
    CZntDialog* Dialog() const { return m_pDialog; }

private:
    QPointer<QWidget> m_pWnd;
    CZntDialog* m_pDialog = nullptr;
    int m_nId = -1;
};
