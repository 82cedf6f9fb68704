#pragma once
#include "support/zvncst/ZntControl.h"

// A push button drawn in given colours (COLORREF 0x00BBGGRR): text, face,
// border, and the face under the mouse. The flag 1 draws it flat.
class CZntButton : public CZntControl {
public:
    int Attach(int id, CZntDialog* dialog) { return CZntControl::Attach(id, dialog); }
    int Attach(int id, CZntDialog* dialog, unsigned text, unsigned face, unsigned border, unsigned hot, int flag);

    unsigned GetTextColor() const { return m_crText; }
    unsigned GetFaceColor() const { return m_crFace; }
    unsigned GetBorderColor() const { return m_crBorder; }
    unsigned GetHotColor() const { return m_crHot; }
    int GetFlat() const { return m_nFlag; }

protected:
    void Skin(bool plain) override;

private:
    unsigned m_crText = 0;
    unsigned m_crFace = 0xC4C4C4;
    unsigned m_crBorder = 0x6B6B6B;
    unsigned m_crHot = 0xC4C4C4;
    int m_nFlag = 0;
    bool m_bColored = false;
};
