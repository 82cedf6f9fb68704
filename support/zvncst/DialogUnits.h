#pragma once
/// \file
/// Dialog units to pixels, as Windows converts them: with the base units of
/// the template's font, x * baseX / 4 and y * baseY / 8, rounded (MulDiv).
#include <QFont>
#include <QRect>

/// The conversion of one dialog's units to pixels.
class CDialogUnits {
public:
    /// The base units of `font`: the average width of the 52 letters A to Z and
    /// a to z, rounded, and the font's height.
    explicit CDialogUnits(const QFont& font);
    /// Given base units, in pixels.
    CDialogUnits(int baseX, int baseY) : m_baseX(baseX), m_baseY(baseY) {}

    /// The template font: "MS UI Gothic" where it is installed, IPA Gothic otherwise.
    static QFont TemplateFont(const QString& family, int pointSize);

    /// The horizontal base unit in pixels.
    int BaseX() const { return m_baseX; }
    /// The vertical base unit in pixels.
    int BaseY() const { return m_baseY; }
    /// Horizontal dialog units in pixels.
    int X(int units) const;
    /// Vertical dialog units in pixels.
    int Y(int units) const;
    /// A rectangle of dialog units in pixels, each edge converted on its own.
    QRect Rect(int x, int y, int width, int height) const;  // MapDialogRect

private:
    int m_baseX;
    int m_baseY;
};
