#pragma once
// Opening URLs, mail links, files and folders with the desktop's programs.
#include <QString>
#include <QtGlobal>
#include <functional>

class QWidget;

namespace platform {

constexpr int SW_SHOWNORMAL = 1;
constexpr qintptr SE_ERR_FNF = 2;      // the file or folder is not there
constexpr qintptr SE_ERR_NOASSOC = 31; // no program takes it, or the verb is unknown

using ShellHandler = std::function<qintptr(QWidget* owner, const QString& verb, const QString& file,
                                           const QString& parameters, const QString& directory, int show)>;

// Verbs "open" (any letter case, or empty) and "explore" (a folder). A file
// is a URL with a scheme (https:, mailto:, file:) or a local path. Returns a
// value above 32 on success, as Windows does, else an SE_ERR_ code.
qintptr ShellExecute(QWidget* owner, const QString& verb, const QString& file,
                     const QString& parameters = {}, const QString& directory = {}, int show = SW_SHOWNORMAL);

// Stands another handler in for the desktop; an empty one restores it. Returns the previous one.
ShellHandler SetShellHandler(ShellHandler handler);

}  // namespace platform
