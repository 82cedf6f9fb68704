#pragma once
// Moving values between a dialog's controls and its members: UpdateData(true)
// reads the controls into the members, UpdateData(false) shows the members.
#include <QString>

class CZntDialog;

class CDataExchange {
public:
    CDataExchange(CZntDialog* dialog, bool saveAndValidate) : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}

    CZntDialog* m_pDlgWnd;
    bool m_bSaveAndValidate;
};

// text of an edit, rich edit, label or button
void DDX_Text(CDataExchange* pDX, int id, QString& value);
// a number in an edit (0 when it does not read as one)
void DDX_Text(CDataExchange* pDX, int id, int& value);
// 0 unchecked, 1 checked
void DDX_Check(CDataExchange* pDX, int id, int& value);
