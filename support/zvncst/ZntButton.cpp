#include "support/zvncst/ZntButton.h"

#include "support/zvncst/Skin.h"

int CZntButton::Attach(int id, CZntDialog* dialog, unsigned text, unsigned face, unsigned border, unsigned hot, int flag)
{
    m_crText = text;
    m_crFace = face;
    m_crBorder = border;
    m_crHot = hot;
    m_nFlag = flag;
    m_bColored = true;
    return CZntControl::Attach(id, dialog);
}

void CZntButton::Skin(bool plain)
{
    if (plain || !m_bColored || !GetWnd())
        return;
    const QColor hot = skin::FromColorRef(m_crHot);
    GetWnd()->setStyleSheet(
        QStringLiteral("QPushButton { color: %1; background: %2; border: 1px solid %3; border-radius: %4px; padding: 1px 6px; }"
                       "QPushButton:hover { background: %5; border-color: #8fb8f0; }"
                       "QPushButton:pressed { background: %6; }"
                       "QPushButton:focus { border: 1px solid #5f8fd0; }"
                       "QPushButton:disabled { color: #8a8a8a; background: #9a9a9a; }")
            .arg(skin::FromColorRef(m_crText).name(), skin::FromColorRef(m_crFace).name(),
                 skin::FromColorRef(m_crBorder).name(), m_nFlag ? QStringLiteral("2") : QStringLiteral("4"),
                 hot.lighter(108).name(), hot.darker(115).name()));
}
