#pragma once
// Message boxes with the Windows styles and results. Every box the module
// shows goes through MessageBox(), so a test can answer it from a script.
#include <QString>
#include <functional>
#include <memory>

class QMessageBox;
class QWidget;

namespace platform {

enum : unsigned {
    MB_OK = 0x0,
    MB_OKCANCEL = 0x1,
    MB_ABORTRETRYIGNORE = 0x2,
    MB_YESNOCANCEL = 0x3,
    MB_YESNO = 0x4,
    MB_RETRYCANCEL = 0x5,
    MB_ICONHAND = 0x10,
    MB_ICONERROR = MB_ICONHAND,
    MB_ICONSTOP = MB_ICONHAND,
    MB_ICONQUESTION = 0x20,
    MB_ICONEXCLAMATION = 0x30,
    MB_ICONWARNING = MB_ICONEXCLAMATION,
    MB_ICONASTERISK = 0x40,
    MB_ICONINFORMATION = MB_ICONASTERISK,
    MB_DEFBUTTON1 = 0x000,
    MB_DEFBUTTON2 = 0x100,
    MB_DEFBUTTON3 = 0x200,
    MB_TYPEMASK = 0x00F,
    MB_ICONMASK = 0x0F0,
    MB_DEFMASK = 0xF00,
};

enum : int {
    IDOK = 1,
    IDCANCEL = 2,
    IDABORT = 3,
    IDRETRY = 4,
    IDIGNORE = 5,
    IDYES = 6,
    IDNO = 7,
};

using MessageBoxHandler = std::function<int(QWidget* owner, const QString& text, unsigned style)>;

// Shows the text with the application's name as title; returns the IDxxx of
// the button chosen. The box opens over the window the user is working in
// (WorkingWindow(owner)): the owner's when it is shown, else its nearest shown
// parent, the topmost modal dialog or the host's main window.
int MessageBox(QWidget* owner, const QString& text, unsigned style = MB_OK);

// The real box as MessageBox() shows it (owner, title, text, icon, buttons), not yet shown.
std::unique_ptr<QMessageBox> BuildMessageBox(QWidget* owner, const QString& text, unsigned style);
// What such a box answered: the button clicked, or, closed any other way (its window's
// close button), Cancel, and OK for a lone OK.
int AnswerOf(const QMessageBox& box, unsigned style);

// Stands another handler in for the real box; an empty handler restores it.
// Returns the handler that was in place.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

// The button a person gets by pressing Enter: the style's default button.
int DefaultButton(unsigned style);

}  // namespace platform
