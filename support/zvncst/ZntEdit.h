#pragma once
#include "support/zvncst/ZntControl.h"

// A one-line or multi-line edit of the template.
class CZntEdit : public CZntControl {
public:
    void SetLimitText(int characters);  // one-line edits: at most that many characters
    void SetReadOnly(bool readOnly);
};
