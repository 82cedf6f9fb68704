#pragma once
// Path and file helpers of the host product. Paths use "/"; a folder
// returned by GetModulePath ends in "/".
#include <QString>

class CCommonFile {
public:
    // The folder of the loaded module libzvnd06.so; the program's own folder
    // when the module is not loaded.
    static QString GetModulePath();
    // Makes GetModulePath() answer the given folder (tests, which must not write
    // beside their own program); an empty text restores it.
    static void SetModulePath(const QString& folder);

    // The folder part, without a trailing "/": "/a/b.txt" gives "/a", "/b.txt"
    // gives "" (so that folder + "/" + name stays at the root), "b.txt" gives ".".
    static QString GetPathName(const QString& path);

    // The name without folder and without its last extension: "a/b.c.zip" gives "b.c".
    static QString GetBaseFileName(const QString& path);

    static int DoesFileExist(const QString& path);       // a file (not a folder) is there
    static int DoesDirectoryExist(const QString& path);  // a folder is there

    // Removes the folder; with `recursive` its whole contents first. Links
    // inside are removed, never followed. 1 when the folder is gone.
    static int DeleteDirectory(const QString& path, int recursive);
};
