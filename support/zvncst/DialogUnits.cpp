#include "support/zvncst/DialogUnits.h"

#include "platform/Text.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QStringList>

CDialogUnits::CDialogUnits(const QFont& font)
{
    const QFontMetrics metrics(font);
    // Windows: the extent of the 52 letters, averaged and rounded; the font's height
    const int extent = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    m_baseX = (extent / 26 + 1) / 2;
    m_baseY = metrics.height();
}

QFont CDialogUnits::TemplateFont(const QString& family, int pointSize)
{
    // one family, not a list: style sheets keep only the first of a list
    QFont font(QStringLiteral("IPAPGothic"), pointSize);
    for (const QString& candidate : {family, QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic")}) {
        if (QFontDatabase::hasFamily(candidate)) {
            font.setFamily(candidate);
            break;
        }
    }
    return font;
}

int CDialogUnits::X(int units) const { return platform::MulDiv(units, m_baseX, 4); }

int CDialogUnits::Y(int units) const { return platform::MulDiv(units, m_baseY, 8); }

QRect CDialogUnits::Rect(int x, int y, int width, int height) const
{
    // each edge converts on its own, as MapDialogRect does
    const int left = X(x), top = Y(y);
    return QRect(left, top, X(x + width) - left, Y(y + height) - top);
}
