#pragma once
// Installation steps that need no window: the additional objects registered
// under "General\ADF", and a program package unpacked so that nothing of it
// lands beside its own folder.
#include <QString>

namespace contents {

constexpr int kMaxAdf = 40;

// how many of "ADF1" to "ADF40" of "General\ADF" can be read
int CountAdfInRegistry();
// Registers "path,title": 1 when it is already registered under any number
// or was written, else the settings write's result. It takes the first free
// number, so an entry after a gap is never written over.
int RegisterAdf(const QString& path, const QString& title);

// Unpacks the archive into `folder` + base + "/" only: the archive is unpacked
// into a staging folder inside `folder` first and refused whole (1 is not
// returned, nothing left) when it holds anything beside the folder `base`.
int UnpackPackage(const QString& archive, const QString& folder, const QString& base);

}  // namespace contents
