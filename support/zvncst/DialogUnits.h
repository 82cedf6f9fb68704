#pragma once
// Dialog units to pixels, as Windows converts them: with the base units of
// the template's font, x * baseX / 4 and y * baseY / 8, rounded (MulDiv).
#include <QFont>
#include <QRect>

class CDialogUnits {
public:
    explicit CDialogUnits(const QFont& font);
    CDialogUnits(int baseX, int baseY) : m_baseX(baseX), m_baseY(baseY) {}

    // The template font: "MS UI Gothic" where it is installed, IPA Gothic otherwise.
    static QFont TemplateFont(const QString& family, int pointSize);

    int BaseX() const { return m_baseX; }
    int BaseY() const { return m_baseY; }
    int X(int units) const;
    int Y(int units) const;
    QRect Rect(int x, int y, int width, int height) const;  // MapDialogRect

private:
    int m_baseX;
    int m_baseY;
};
