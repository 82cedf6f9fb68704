#pragma once
// Runs the host's features end to end without a person (--tour): every
// message box is answered with its default button, a picture of every window
// shown is saved, and each step is printed as one line.
#include <Qt>
#include <QString>
#include <QStringList>
#include <QTextStream>

class CHostWindow;
class QWidget;

class CTour {
public:
    CTour(CHostWindow& window, const QString& screenshots, QTextStream& out);
    ~CTour();
    CTour(const CTour&) = delete;
    CTour& operator=(const CTour&) = delete;

    // "all" or a comma-separated list of program, library, login, share, favorites;
    // 0 when every step ran, 1 when a named feature is unknown
    int Run(const QString& features);

    void Step(const QString& text);
    QString Screenshot(QWidget* window, const QString& name);  // the file written, empty on failure
    // a key pressed and let go on the window's control that has the focus, as from the keyboard
    void Press(QWidget* window, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

private:
    CHostWindow& m_window;
    QString m_folder;
    QTextStream& m_out;
    int m_step = 0;
    QString m_lastBox;  // the text of the last message box, and how often it came again
    int m_repeats = 0;
};
