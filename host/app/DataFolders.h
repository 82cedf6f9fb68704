#pragma once
// Where the reference host keeps its data: under $XDG_DATA_HOME/zvnhost (or
// $ZVNHOST_DATA_DIR), made on first start from the sample data shipped with
// the host.
#include <QString>

class CDataFolders {
public:
    explicit CDataFolders(const QString& root = DefaultRoot());

    static QString DefaultRoot();

    // Creates what is missing: the system program list with its programs' scene
    // files, the folders of the user programs, favourites and installed
    // content, and the settings that point at them. Existing files are kept.
    bool Prepare() const;

    QString Root() const { return m_root; }
    QString SystemProgramList() const { return m_root + QStringLiteral("/System/zvnprg.lst"); }
    QString InstallRoot() const { return m_root + QStringLiteral("/Contents/"); }
    QString UserProgramList() const { return InstallRoot() + QStringLiteral("Prg/zvnprg.lst"); }
    QString FavoritesRoot() const { return m_root + QStringLiteral("/Favorites/"); }

private:
    bool writeSampleLists() const;
    QString m_root;
};
