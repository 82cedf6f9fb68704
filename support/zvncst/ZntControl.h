#pragma once
// A skinned control attached to a control the dialog's template made:
// Attach(id, dialog) finds it by id; the control object then speaks for it.
#include <QPointer>
#include <QString>
#include <QWidget>

class CZntDialog;

class CZntControl {
public:
    virtual ~CZntControl() = default;

    // 1 when the dialog has a control with that id, else 0.
    int Attach(int id, CZntDialog* dialog);

    QWidget* GetWnd() const { return m_pWnd.data(); }
    int GetDlgCtrlID() const { return m_nId; }
    void EnableWindow(bool enable);
    bool IsWindowEnabled() const;
    void ShowWindow(bool show);
    void SetFocus();
    QString GetWindowText() const;
    void SetWindowText(const QString& text);

protected:
    virtual void Skin(bool plain);  // called by Attach with the dialog's plain-style flag
    CZntDialog* Dialog() const { return m_pDialog; }

private:
    QPointer<QWidget> m_pWnd;
    CZntDialog* m_pDialog = nullptr;
    int m_nId = -1;
};
