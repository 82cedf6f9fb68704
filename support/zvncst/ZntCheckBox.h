#pragma once
/// \file
/// A check box of the template (CZntCheckBox).
#include "support/zvncst/ZntControl.h"

/// A check box of the template; the dialog's skin draws it.
class CZntCheckBox : public CZntControl {
public:
    /// 1 when the box is checked, else 0 (0 too when nothing is attached).
    int GetCheck() const;
    /// Checks the box (`check` not 0) or clears it.
    void SetCheck(int check);

    /// A number the dialog keeps with the box; it changes nothing in the drawing.
    void SetFlag(int flag) { m_nFlag = flag; }
    /// The number SetFlag() kept, 0 unless set.
    int GetFlag() const { return m_nFlag; }

private:
    int m_nFlag = 0;
};
