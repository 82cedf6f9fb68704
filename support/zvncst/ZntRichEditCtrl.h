#pragma once
/// \file
/// A multi-line text box of the template (CZntRichEditCtrl).
#include "support/zvncst/ZntControl.h"

/// A multi-line text box of the template (plain text only).
class CZntRichEditCtrl : public CZntControl {
public:
    /// At most that many characters: what would pass the limit is refused where it comes in
    /// (a character typed into a full box is not taken, a paste is cut to what fits), and the
    /// text around it stays.
    void SetLimitText(int characters);
    /// The limit SetLimitText() set, 0 for none.
    int GetLimitText() const { return m_nLimit; }
    /// Lets the user change the text (false) or only read it (true).
    void SetReadOnly(bool readOnly);

    /// A number the dialog keeps with the box; it changes nothing in the box.
    void SetCheck(int check) { m_nCheck = check; }
    /// The number SetCheck() kept, 0 unless set.
    int GetCheck() const { return m_nCheck; }
    /// Another number the dialog keeps with the box; it changes nothing in the box.
    void SetFlag(int flag) { m_nFlag = flag; }
    /// The number SetFlag() kept, 0 unless set.
    int GetFlag() const { return m_nFlag; }

private:
    int m_nLimit = 0;
    QPointer<QWidget> m_pLimited;  // the box the limiter watches
    int m_nCheck = 0;
    int m_nFlag = 0;
};
