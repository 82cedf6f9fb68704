#pragma once
// The host product's settings store: values under sections such as
// "General\Authentication", kept in one file in the user's configuration
// folder. Every read names a default; a read of an absent value fails (0)
// and yields the default, so a caller can tell "absent" from "empty".
#include <QList>
#include <QString>
#include <utility>

class QWidget;

class CRegistry {
public:
    // The settings file: $ZVN_SETTINGS_FILE when set, else the path a host
    // chose with SetSettingsPath, else $XDG_CONFIG_HOME/zvnhost/settings.ini.
    static QString SettingsPath();
    static void SetSettingsPath(const QString& path);  // empty text: back to the default

    // `root` selects the store; 0, the user's, is the only one there is.
    static int Read(const QString& section, const QString& name, const QString& defaultValue, QString& value,
                    int root = 0);
    static int Read(const QString& section, const QString& name, int defaultValue, int* value, int root = 0);
    static int Write(const QString& section, const QString& name, const QString& value, int root = 0);
    static int Write(const QString& section, const QString& name, int value, int root = 0);
    // Several values of one section in one replacement of the file: all of them or, when the
    // file cannot be written, none, so values that belong together never part.
    static int Write(const QString& section, const QList<std::pair<QString, QString>>& values);

    // A window's position and size. Reading with *flag non-zero restores the
    // size as well as the position (for resizable windows), with 0 only the
    // position. A placement no screen would show is not restored (result 0).
    static int Write(const QString& section, const QString& name, const QWidget* window);
    static int Read(const QString& section, const QString& name, QWidget* window, int* flag, int root = 0);
};
