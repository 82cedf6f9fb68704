#pragma once
/// \file
/// The host product's settings store: values under sections such as
/// `General\Authentication`, kept in one file in the user's configuration
/// folder. Every read names a default; a read of an absent value fails (0)
/// and yields the default, so a caller can tell "absent" from "empty".
/// Several processes may share the store (two host windows, a host and a tool):
/// each change reads the file again under a lock and replaces it whole, so no
/// process loses a value another one wrote. The file holds the account's
/// tokens, so only its owner may read it.
#include <QList>
#include <QString>
#include <memory>
#include <utility>

class QWidget;
namespace platform {
class FileLock;
}

/// The settings store. Every function is static and reads the file anew; a
/// write returns 1 when the file was replaced, 0 when it was left as it was: a
/// section or name that is empty or holds a line break, "]" or "=" (or a name
/// starting with "["), a folder or lock that cannot be made, or a file there
/// that is not one the store wrote, which it never writes over.
class CRegistry {
public:
    /// The settings file: $ZVN_SETTINGS_FILE when set, else the path a host
    /// chose with SetSettingsPath, else $XDG_CONFIG_HOME/zvnhost/settings.ini.
    static QString SettingsPath();
    static void SetSettingsPath(const QString& path);  ///< empty text: back to the default

    /// `root` selects the store; 0, the user's, is the only one there is.
    ///
    /// Reads the text `name` of `section` into `value`: 1 when it is there, else 0
    /// with `value` the default.
    static int Read(const QString& section, const QString& name, const QString& defaultValue, QString& value,
                    int root = 0);
    /// Reads the number `name` of `section` into `*value`: 1 when it is there and
    /// reads as a whole number, else 0 with `*value` the default.
    static int Read(const QString& section, const QString& name, int defaultValue, int* value, int root = 0);
    /// Writes the text `name` of `section`; 1 when written.
    static int Write(const QString& section, const QString& name, const QString& value, int root = 0);
    /// Writes the number `name` of `section`, as decimal text; 1 when written.
    static int Write(const QString& section, const QString& name, int value, int root = 0);
    /// Several values of one section in one replacement of the file: all of them or, when the
    /// file cannot be written, none, so values that belong together never part.
    static int Write(const QString& section, const QList<std::pair<QString, QString>>& values);

    /// A window's position and size. Reading with *flag non-zero restores the
    /// size as well as the position (for resizable windows), with 0 only the
    /// position. A placement no screen would show is not restored (result 0).
    ///
    /// Writes the frame's top-left and the client size as "x,y,width,height"; 1 when written.
    static int Write(const QString& section, const QString& name, const QWidget* window);
    /// Restores what the window overload of Write() stored: 1 when the window was
    /// placed, 0 when there is nothing usable (`*flag` as above).
    static int Read(const QString& section, const QString& name, QWidget* window, int* flag, int root = 0);

    /// Holds the store for a change made of several reads and writes (a free number
    /// chosen and taken): while it is held, reads give what the file holds and no other
    /// process writes. Never hold it while the user is asked or the network is waited for.
    class Lock {
    public:
        /// Takes the lock (the settings file's + ".lock"), waiting for another process to let go.
        Lock();
        /// Lets the lock go.
        ~Lock();
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;
        /// True when the lock is held; false when its folder or lock file could not be made.
        bool IsHeld() const;

    private:
        std::unique_ptr<platform::FileLock> m_lock;
    };
};
