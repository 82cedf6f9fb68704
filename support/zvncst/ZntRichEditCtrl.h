#pragma once
#include "support/zvncst/ZntControl.h"

// A multi-line text box of the template (plain text only).
class CZntRichEditCtrl : public CZntControl {
public:
    // at most that many characters: longer input is cut as it is typed
    void SetLimitText(int characters);
    int GetLimitText() const { return m_nLimit; }
    void SetReadOnly(bool readOnly);

    void SetCheck(int check) { m_nCheck = check; }
    int GetCheck() const { return m_nCheck; }
    void SetFlag(int flag) { m_nFlag = flag; }
    int GetFlag() const { return m_nFlag; }

private:
    int m_nLimit = 0;
    QPointer<QWidget> m_pLimited;  // the box the limiter watches
    int m_nCheck = 0;
    int m_nFlag = 0;
};
