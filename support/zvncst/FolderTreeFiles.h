#pragma once
// The file work behind the folder tree, with no window: checking names,
// numbering new folders, moving without overwriting and deleting to the
// desktop's trash, all kept inside one root folder.
#include <QString>

namespace foldertree {

enum class NameCheck {
    Ok,
    Empty,
    ForbiddenCharacter,  // one of \ / : , ; * ? " < > |
    Unusable,            // control characters, only dots, or longer than the file system allows
};

// `suffix` is what the name gets on disk (".zsf" for a scene, empty for a folder)
NameCheck CheckName(const QString& name, const QString& suffix = {});

// the messages the tree and the add-to-favourites dialog show
QString EmptyNameMessage();
QString ForbiddenCharactersMessage();
QString ExistsMessage(const QString& path);

// True when `path` (existing or not) lies in `root` or is the root itself, links resolved.
bool IsInside(const QString& root, const QString& path);

// "新しいフォルダー", or "新しいフォルダー (2)" and on when that is taken.
QString NewFolderName(const QString& parent);

enum class MoveResult { Moved, Exists, IntoItself, Outside, Failed };
// Moves a file or folder to `target` (the new full path); never overwrites.
MoveResult Move(const QString& root, const QString& from, const QString& target);

enum class TrashResult { Trashed, Refused, Outside };
// Moves the item to the freedesktop trash, so the user can restore it.
TrashResult MoveToTrash(const QString& root, const QString& path);
// Deletes for good (a folder with everything in it; links are removed, not followed).
bool DeleteForGood(const QString& root, const QString& path);

}  // namespace foldertree
