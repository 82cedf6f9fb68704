#pragma once
// Installation steps that need no window: the additional objects registered
// under "General\ADF", the names a download may take, and a program package
// unpacked so that nothing of it lands on what the module keeps.
#include <QString>
#include <QStringList>

namespace contents {

constexpr int kMaxAdf = 40;

// The genres as the item document names them: scenes and animations (1, 2) are
// saved in "Favorites", programs and BGV (3, 4) are packages unpacked into "Prg",
// additional objects (5) go to "Adf"; anything else (999) is saved in the install
// root itself.
inline bool IsSceneGenre(int genre) { return genre == 1 || genre == 2; }
inline bool IsPackageGenre(int genre) { return genre == 3 || genre == 4; }
inline bool IsObjectGenre(int genre) { return genre == 5; }

// how many of "ADF1" to "ADF40" of "General\ADF" can be read
int CountAdfInRegistry();
// Registers "path,title": 1 when it is already registered under any number
// or was written, else the settings write's result. It takes the first free
// number, so an entry after a gap is never written over.
int RegisterAdf(const QString& path, const QString& title);

// Whether an item of the genre may be saved under the file name (already a plain
// name): it must not land on a file or folder the module keeps beside it (the
// user program list, its temporary copy and its lock file in the program folder, the genres'
// folders in the install root, the record beside a partly downloaded file in any
// install folder), and a package's folder must be a folder of its
// own, not the program folder or its parent.
bool IsInstallableName(int genre, const QString& fileName);

// Unpacks the archive into `folder` (the program folder) through a staging folder
// inside it, so that nothing lands before the whole archive has unpacked. Entries
// beside the package's folder `base` are unpacked too, but the archive is refused
// whole (0, nothing left) when one would land on the program list, its temporary
// copy, a download's record, or another program's folder (one holding "info.txt"). `added` receives the
// names it made in `folder` that were not there before, for taking them back.
int UnpackPackage(const QString& archive, const QString& folder, const QString& base, QStringList& added);
// Removes what UnpackPackage made in `folder`, and empties `added`.
void TakeBack(const QString& folder, QStringList& added);

}  // namespace contents
