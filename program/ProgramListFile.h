#pragma once
// The program list file's own text: its header, its lines as a text stream
// reads them, and the two line filters that take a program's section out.

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

class CProgramListFile {
public:
    // "[General]" ... "Num=0", each line ended by CR LF
    static QByteArray Header();

    // the lines as a text stream reads them: split at LF, a CR before it dropped
    static QList<QByteArray> SplitLines(const QByteArray& bytes);

    static QString TrimEnd(const QString& text);

    // The editor's filter: drops "[Prog<n>]" and the lines up to the next
    // line beginning with "[", and numbers every later "[Prog<k>]" (k >= n) k - 1.
    static QByteArray RemoveSection(const QByteArray& bytes, int n);

    // Puts the new list in place: written to the list's path + ".$$$", flushed,
    // and renamed over the list in one step, so that a crash leaves one whole list.
    static bool ReplaceList(const QString& listPath, const QByteArray& bytes);
    // Num of "Programs" less one, written back; the new count
    static int DecrementCount(const QString& listPath);

    // The folder of the program whose scene file is `script`, beside the list:
    // the list's folder + the script's base name. Empty when that is not a
    // folder strictly below the list's folder (a script "", "." or ".." would
    // name the list's own folder), so nothing but one program's folder is removed.
    static QString ProgramFolder(const QString& listPath, const QString& script);

    // The program dialog's removal of program `n`, whose scene file is `script`: the list read,
    // filtered (RemoveSectionAfterwards), replaced and its count lowered under the list's lock.
    // The new count; none when the list cannot be read or replaced, or when another process
    // changed it so that section `n` no longer holds that program: then it stays as it is.
    static std::optional<int> RemoveProgram(const QString& listPath, int n, const QString& script);

    // The program dialog's filter: the same, in three states (before the
    // section, inside it, after it); every "[Prog<k>]" after it becomes k - 1.
    static QByteArray RemoveSectionAfterwards(const QByteArray& bytes, int n);
};
