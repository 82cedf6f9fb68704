#pragma once
/// \file
/// A dialog template as data: the dialog's size in dialog units, title, style
/// and font, and every control with its id, kind, place and text. Templates
/// are read from the text tables in a module's resources (see res/dialogs.txt).
#include <QList>
#include <QString>
#include <QStringList>

namespace platform {

/// One control of a dialog template.
struct ControlTemplate {
    int id = -1;          ///< -1 for controls nobody addresses (labels)
    QString kind;         ///< static, button, defbutton, check, edit, richedit, list, tree, progress, group, picture, icon, browser
    /** @{ */
    /// The place and size in dialog units: left, top, width and height.
    int x = 0, y = 0, width = 0, height = 0;  // dialog units
    /** @} */
    QStringList flags;    ///< center, right, multiline, readonly, password, vscroll, wantreturn, ownerdraw, notify, bitmap; "name=TEXT": what a screen reader calls a control that no text or group names
    QString text;         ///< as UnescapeLineText reads it: `"\n"` in the table is a line feed

    /// True when the control's flags name `flag`.
    bool Has(const QString& flag) const { return flags.contains(flag); }
};

/// One dialog template: the dialog and its controls, in the order of the table.
struct DialogTemplate {
    /// The dialog's id, by which a dialog finds its template in the resource chain.
    int id = 0;
    /** @{ */
    /// The client area's size in dialog units.
    int width = 0, height = 0;  // dialog units
    /** @} */
    QStringList style;          ///< caption, sysmenu, resizable, popup (no title bar)
    /// The window's title.
    QString title;
    /// The font the dialog units are measured in; IPA Gothic stands in where it is absent.
    QString fontFamily = QStringLiteral("MS UI Gothic");
    /// The font's size in points.
    int fontPointSize = 9;
    /// Every control, in the table's order (the tab order).
    QList<ControlTemplate> controls;

    /// True when the dialog's style names `flag`.
    bool Has(const QString& flag) const { return style.contains(flag); }
    /// The first control with that id, or null when there is none.
    const ControlTemplate* Control(int controlId) const;
};

/// Reads every template of a table. Lines: `dialog <TAB> id <TAB> width <TAB>
/// height <TAB> style,style <TAB> title`, then one line per control: `id <TAB>
/// kind <TAB> x <TAB> y <TAB> width <TAB> height <TAB> flags <TAB> text`.
/// Blank lines and lines starting with "#" are skipped; a malformed line is
/// skipped with a warning so that one bad row cannot take a dialog down.
QList<DialogTemplate> ParseDialogTemplates(const QString& table);


}  // namespace platform
