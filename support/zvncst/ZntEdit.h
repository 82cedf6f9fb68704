#pragma once
/// \file
/// An edit of the template (CZntEdit).
#include "support/zvncst/ZntControl.h"

/// A one-line or multi-line edit of the template.
class CZntEdit : public CZntControl {
public:
    void SetLimitText(int characters);  ///< one-line edits: at most that many characters
    /// Lets the user change the text (false) or only read it (true).
    void SetReadOnly(bool readOnly);
};
