#pragma once
/// \file
/// What every dialog of the product holds besides its window: the host
/// control, its settings section, and whether it is drawn plain.
#include <QImage>
#include <QString>

class CCorZnt;
class QPaintDevice;

/// What every dialog of the product holds besides its window.
class CZntDialogBase {
public:
    /// Keeps the host control (not owned) and reads PlainStyleSetting() once.
    explicit CZntDialogBase(CCorZnt* host = nullptr);
    /// Nothing to release: the host control is the host's.
    virtual ~CZntDialogBase() = default;

    /// Copies the part (sourceX, sourceY, width, height) of the bitmap to (x, y)
    /// on the target, which must be painted on now (inside its paint event for
    /// a widget). Returns 1, or 0 for a null target or bitmap.
    static int PasteBitmap(QPaintDevice* target, const QImage& bitmap, int x, int y, int sourceX, int sourceY,
                           int width, int height);

    /// Set when the setting "PlainStyle" of section `General\Display` is 1:
    /// dialogs are then drawn in the system's colours, otherwise skinned.
    static bool PlainStyleSetting();

    CCorZnt* m_pCorZnt;       ///< not owned; null for dialogs built without one
    QString m_strSection;     ///< the dialog's settings section
    int m_bPlainStyle;        ///< 1: system colours, 0: skinned
};
