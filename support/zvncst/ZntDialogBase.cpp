#include "support/zvncst/ZntDialogBase.h"

#include "support/zvnreg/Registry.h"

#include <QPainter>

CZntDialogBase::CZntDialogBase(CCorZnt* host) : m_pCorZnt(host), m_bPlainStyle(PlainStyleSetting() ? 1 : 0) {}

bool CZntDialogBase::PlainStyleSetting()
{
    int plain = 0;
    CRegistry::Read(QStringLiteral("General\\Display"), QStringLiteral("PlainStyle"), 0, &plain);
    return plain == 1;
}

int CZntDialogBase::PasteBitmap(QPaintDevice* target, const QImage& bitmap, int x, int y, int sourceX, int sourceY,
                                int width, int height)
{
    if (!target || bitmap.isNull())
        return 0;
    QPainter painter(target);
    painter.drawImage(QPoint(x, y), bitmap, QRect(sourceX, sourceY, width, height));
    return 1;
}
