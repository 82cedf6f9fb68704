// Unpacking zip archives. The input is an archive. It is unpacked into a
// folder two levels below a watched one, and installed as a program package
// beside a user's list; after each, nothing outside the target folder
// changed (the watched folder is walked and compared), nothing unpacked is a
// link, and an archive that is refused leaves nothing of itself.
#include "tests/fuzz/FuzzSupport.h"

#include "library/ContentsInstall.h"
#include "support/zvncom/ZntUnZip.h"

#include <QDir>

namespace {

// the lines of a snapshot that lie below `prefix` ("/a/b/out"), and those that do not
QStringList outside(const QStringList& snapshot, const QString& prefix)
{
    QStringList out;
    for (const QString& line : snapshot)
        if (!line.startsWith(prefix + u'/') && !line.startsWith(prefix + u' '))
            out.append(line);
    return out;
}

QStringList inside(const QStringList& snapshot, const QString& prefix)
{
    QStringList in;
    for (const QString& line : snapshot)
        if (line.startsWith(prefix + u'/'))
            in.append(line);
    return in;
}

void checkNoLinks(const QStringList& lines)
{
    for (const QString& line : lines)
        fuzz::Check(!line.endsWith(QStringLiteral(" l")), "nothing unpacked is a link", line);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::Initialize("unzip");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString scratch = fuzz::Scratch();
    const QString archive = scratch + QStringLiteral("/input.zip");
    fuzz::WriteFile(archive, QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    // the watched folder: files an escaping entry could replace, at every level above the target
    const QString watched = scratch + QStringLiteral("/w");
    fuzz::WriteFile(watched + QStringLiteral("/keep.txt"), "w");
    fuzz::WriteFile(watched + QStringLiteral("/a/keep.txt"), "a");
    fuzz::WriteFile(watched + QStringLiteral("/a/b/keep.txt"), "b");
    fuzz::WriteFile(watched + QStringLiteral("/Prg/zvnprg.lst"), "[General]\r\n");

    // plain unpacking into a folder that is not there yet
    const QStringList before = fuzz::Snapshot(watched);
    const int unpacked = CZntUnZip::Unzip(archive, watched + QStringLiteral("/a/b/out"));
    const QStringList after = fuzz::Snapshot(watched);
    fuzz::Check(outside(after, QStringLiteral("/a/b/out")) == before, "nothing lands outside the target folder",
                after.join(u'\n'));
    checkNoLinks(after);
    if (!unpacked)
        fuzz::Check(!fuzz::Exists(watched + QStringLiteral("/a/b/out")), "a refused archive leaves nothing of itself",
                    inside(after, QStringLiteral("/a/b/out")).join(u'\n'));

    // installing it as the program package "pkg" beside the user's list: entries beside the
    // package's folder may come along, but nothing lands outside the program folder, a refused
    // package leaves nothing, and what an install made can all be taken back
    const QStringList beforeInstall = fuzz::Snapshot(watched);
    QStringList added;
    const QString programs = watched + QStringLiteral("/Prg/");
    const int installed = contents::UnpackPackage(archive, programs, QStringLiteral("pkg"), added);
    const QStringList afterInstall = fuzz::Snapshot(watched);
    fuzz::Check(outside(afterInstall, QStringLiteral("/Prg")) == outside(beforeInstall, QStringLiteral("/Prg")),
                "a package lands in the program folder and nowhere else", afterInstall.join(u'\n'));
    checkNoLinks(afterInstall);
    if (!installed)
        fuzz::Check(afterInstall == beforeInstall, "a refused package leaves nothing", afterInstall.join(u'\n'));
    contents::TakeBack(programs, added);
    fuzz::Check(fuzz::Snapshot(watched) == beforeInstall, "what an install made is taken back whole",
                fuzz::Snapshot(watched).join(u'\n'));

    fuzz::Clear();
    return 0;
}
