#pragma once
// A dialog template as data: the dialog's size in dialog units, title, style
// and font, and every control with its id, kind, place and text. Templates
// are read from the text tables in a module's resources (see res/dialogs.txt).
#include <QList>
#include <QString>
#include <QStringList>

namespace platform {

struct ControlTemplate {
    int id = -1;          // -1 for controls nobody addresses (labels)
    QString kind;         // static, button, defbutton, check, edit, richedit, list, tree, progress, group, picture, icon, browser
    int x = 0, y = 0, width = 0, height = 0;  // dialog units
    QStringList flags;    // center, right, multiline, readonly, password, vscroll, wantreturn, ownerdraw, notify, bitmap
    QString text;         // as UnescapeLineText reads it: "\n" in the table is a line feed

    bool Has(const QString& flag) const { return flags.contains(flag); }
};

struct DialogTemplate {
    int id = 0;
    int width = 0, height = 0;  // dialog units
    QStringList style;          // caption, sysmenu, resizable, popup (no title bar)
    QString title;
    QString fontFamily = QStringLiteral("MS UI Gothic");
    int fontPointSize = 9;
    QList<ControlTemplate> controls;

    bool Has(const QString& flag) const { return style.contains(flag); }
    const ControlTemplate* Control(int controlId) const;
};

// Reads every template of a table. Lines: "dialog <TAB> id <TAB> width <TAB>
// height <TAB> style,style <TAB> title", then one line per control: "id <TAB>
// kind <TAB> x <TAB> y <TAB> width <TAB> height <TAB> flags <TAB> text".
// Blank lines and lines starting with "#" are skipped; a malformed line is
// skipped with a warning so that one bad row cannot take a dialog down.
QList<DialogTemplate> ParseDialogTemplates(const QString& table);


}  // namespace platform
