#include "support/zvncst/Skin.h"

#include <QFont>

namespace skin {

QString DialogStyleSheet(const QFont& font)
{
    // the dialog's font belongs in the sheet: a sheet resets fonts set apart from it
    return QStringLiteral("QDialog { font-size: %2pt; } QDialog, QDialog * { font-family: \"%1\"; }")
               .arg(font.family())
               .arg(font.pointSize())
           + QStringLiteral(
        "QDialog { background: #232832; color: #e6e9ef; }"
        "QLabel { color: #e6e9ef; background: transparent; }"
        "QPushButton { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #4a5670, stop:1 #333b4c);"
        "  color: #f2f4f8; border: 1px solid #6b7790; border-radius: 3px; padding: 1px 6px; }"
        "QPushButton:hover { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #58678a, stop:1 #3c465c); }"
        "QPushButton:pressed { background: #283040; }"
        "QPushButton:default { border: 1px solid #8fb8f0; }"
        "QPushButton:focus { border: 1px solid #a8ccff; }"
        "QPushButton:disabled { color: #7a8292; background: #2c313b; border-color: #444b57; }"
        "QLineEdit, QPlainTextEdit, QTextEdit, QListWidget, QTreeWidget {"
        "  background: #151920; color: #eef1f5; border: 1px solid #4a5366;"
        "  selection-background-color: #3c6aa8; selection-color: #ffffff; }"
        "QLineEdit:focus, QPlainTextEdit:focus, QTextEdit:focus { border: 1px solid #7ca8e4; }"
        "QLineEdit:disabled, QTextEdit:disabled, QTreeWidget:disabled { color: #7a8292; background: #1d2129; }"
        "QGroupBox { color: #e6e9ef; border: 1px solid #4a5366; border-radius: 3px; margin-top: 0.6em; }"
        "QGroupBox::title { subcontrol-origin: margin; left: 7px; padding: 0 3px; }"
        "QCheckBox { color: #e6e9ef; background: transparent; }"
        // the style's own box is drawn in the dialog's colours and vanishes: a box of the sheet's, filled when ticked
        "QCheckBox::indicator { width: 10px; height: 10px; border: 1px solid #8a96ae; border-radius: 1px; background: #151920; }"
        "QCheckBox::indicator:checked { width: 6px; height: 6px; padding: 2px; background: #7ca8e4; background-clip: content; }"
        "QProgressBar { background: #151920; border: 1px solid #4a5366; border-radius: 2px; }"
        "QProgressBar::chunk { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #6fa0e6, stop:1 #3c6aa8); }");
}

QColor FromColorRef(unsigned colorRef)
{
    return QColor(colorRef & 0xFF, (colorRef >> 8) & 0xFF, (colorRef >> 16) & 0xFF);
}

}  // namespace skin
