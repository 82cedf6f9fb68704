#pragma once
// Loading the system and user program lists into program records, and
// finding a program's scene file on disk. No window is needed: the program
// dialog and the zvnprg tool both read lists through this.
#include "program/ProgItem.h"

#include <QImage>
#include <QList>
#include <QStringList>
#include <functional>

class CParamFile;
namespace platform {
class FileLookups;
}

class CProgramListReader {
public:
    // the ten icon bitmaps 16035..16044 the records refer to (not owned; may be null)
    explicit CProgramListReader(const QImage* icons = nullptr) : m_icons(icons) {}

    // Appends the programs of one open list; 0 when it stopped at a type that
    // has no icon for that list (the programs before it stay).
    int DoRead(CParamFile* file, int isSystem, QList<tagPROGITEM>& programs) const;

    // What of a program is read: everything the dialog shows, or only what a list of
    // programs shows (type, title, scene file and running time).
    enum Fields { AllFields, ListedFields };
    // Hands the programs of one open list to `take` one by one, in order; 0 when it
    // stopped, as DoRead stops.
    int ReadEach(CParamFile* file, int isSystem, Fields fields, const std::function<void(tagPROGITEM&)>& take) const;

    // Loads both lists with their header checks (messages 16006, 16005), each
    // through `readOne` (file, is-system). 1 when the system list loaded and
    // the user list loaded or is absent.
    static int ReadLists(const QString& systemList, const QString& userList,
                         const std::function<int(CParamFile*, int)>& readOne);

    // The owner, id and version a list must have to be read.
    static bool HeaderIsValid(CParamFile& file);
    // Reads the list into `file` and checks its header; message 16005 when it is not a program list.
    static bool OpenList(const QString& path, CParamFile& file);

    // The scene folders the settings register ("Files": "PLN", "ConsGd", "PRG").
    struct SceneFolders {
        QString pln, consGd, prg;
    };
    static SceneFolders RegisteredSceneFolders();

    // Where a program's scene file is: 1 and its path, or 0 and the kind of
    // program (long and short) to tell the user.
    static int FindScene(const QString& type, const QString& script, int isSystem, const QString& systemList,
                         const QString& userList, QString& actualPath, QString& kind, QString& shortKind);
    // The same with the registered folders read beforehand, once for a whole list.
    static int FindScene(const QString& type, const QString& script, int isSystem, const QString& systemList,
                         const QString& userList, const SceneFolders& registered, QString& actualPath, QString& kind,
                         QString& shortKind);

    // Where a program's scene file may be, in the order to look, and the kind of program
    // (long and short) to tell the user when it is in none of them. No places and no kind
    // for a type that has no scene.
    struct ScenePlaces {
        QStringList paths;
        QString kind, shortKind;
    };
    static ScenePlaces SceneCandidates(const QString& type, const QString& script, int isSystem, const QString& systemList,
                                       const QString& userList, const SceneFolders& registered);
    // the first of the paths that names a file, or an empty string; asked through
    // `lookups` when given, for many programs in a row
    static QString FirstExisting(const QStringList& paths, platform::FileLookups* lookups = nullptr);

private:
    static int programCount(CParamFile& file);  // "Num" of "Programs"
    bool iconsFor(int isSystem, const QString& type, const QImage** icon, const QImage** mask) const;
    const QImage* m_icons;
};
