#pragma once
/// \file
/// Moving values between a dialog's controls and its members: UpdateData(true)
/// reads the controls into the members, UpdateData(false) shows the members.
#include <QString>

class CZntDialog;

/// One exchange, as CZntDialog::UpdateData() hands it to DoDataExchange(): the
/// dialog and the direction. The DDX_ functions do the work, one control each.
class CDataExchange {
public:
    /// An exchange with `dialog`'s controls: into the members when `saveAndValidate`, else out of them.
    CDataExchange(CZntDialog* dialog, bool saveAndValidate) : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}

    /// The dialog whose controls take part.
    CZntDialog* m_pDlgWnd;
    /// True: the controls are read into the members; false: the members are shown.
    bool m_bSaveAndValidate;
};

/// Exchanges `value` with the control `id`:
/// text of an edit, rich edit, label or button
void DDX_Text(CDataExchange* pDX, int id, QString& value);
/// Exchanges the number `value` with the control `id`:
/// a number in an edit (0 when it does not read as one)
void DDX_Text(CDataExchange* pDX, int id, int& value);
/// Exchanges `value` with the check box `id`:
/// 0 unchecked, 1 checked
void DDX_Check(CDataExchange* pDX, int id, int& value);
