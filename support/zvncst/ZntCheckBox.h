#pragma once
#include "support/zvncst/ZntControl.h"

class CZntCheckBox : public CZntControl {
public:
    int GetCheck() const;
    void SetCheck(int check);

    void SetFlag(int flag) { m_nFlag = flag; }
    int GetFlag() const { return m_nFlag; }

private:
    int m_nFlag = 0;
};
