#pragma once
#include <QString>

class CZntUnZip {
public:
    // Unpacks every entry of the zip archive into the folder (created when
    // missing). An archive with any entry that would land outside the folder
    // (an absolute name, "..", a drive name, a link, a link already on disk
    // in its way) is refused before anything is written; an archive that
    // fails while unpacking leaves nothing of itself. Files it replaces are
    // replaced only once the whole archive has unpacked. 1 on success.
    static int Unzip(const QString& archive, const QString& folder);
};
