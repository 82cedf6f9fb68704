#pragma once
/// \file
/// A push button drawn in given colours (CZntButton).
#include "support/zvncst/ZntControl.h"

/// A push button drawn in given colours (COLORREF 0x00BBGGRR): text, face,
/// border, and the face under the mouse. The flag 1 draws it flat.
class CZntButton : public CZntControl {
public:
    /// Attaches the button `id` in the dialog's own colours; 1 when the dialog has it, else 0.
    int Attach(int id, CZntDialog* dialog) { return CZntControl::Attach(id, dialog); }
    /// Attaches the button `id` with its colours and flag; 1 when the dialog has it, else 0.
    int Attach(int id, CZntDialog* dialog, unsigned text, unsigned face, unsigned border, unsigned hot, int flag);

    /// The text's colour, 0x00BBGGRR.
    unsigned GetTextColor() const { return m_crText; }
    /// The face's colour.
    unsigned GetFaceColor() const { return m_crFace; }
    /// The border's colour.
    unsigned GetBorderColor() const { return m_crBorder; }
    /// The face's colour under the mouse.
    unsigned GetHotColor() const { return m_crHot; }
    /// 1 when the button is drawn flat, else 0.
    int GetFlat() const { return m_nFlag; }

protected:
    /// Draws the button in its colours, unless the dialog is plain or it was attached without colours.
    void Skin(bool plain) override;

private:
    unsigned m_crText = 0;
    unsigned m_crFace = 0xC4C4C4;
    unsigned m_crBorder = 0x6B6B6B;
    unsigned m_crHot = 0xC4C4C4;
    int m_nFlag = 0;
    bool m_bColored = false;
};
