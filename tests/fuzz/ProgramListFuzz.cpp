// Program list loading and editing. The input is a list file; after the
// first two form feeds ("\f\f") comes a section file, the key=value lines
// of one program that the editor appends. Each input: the list is loaded as
// the dialog and zvnprg load it, every program's scene is looked for, the
// section file is appended and the first program deleted; neither edit may
// leave anything beside the list, and one that fails leaves it byte for byte.
#include "tests/fuzz/FuzzSupport.h"

#include "program/PrgSection.h"
#include "program/ProgramListFile.h"
#include "program/ProgramListReader.h"
#include "support/zvncom/CommonFile.h"
#include "support/zvndcm/ParamFile.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace {

int countOf(const QString& list)
{
    CParamFile file;
    file.SetParameterFile(list);
    int count = 0;
    file.UpdateParam(QStringLiteral("Programs"), QStringLiteral("Num"), 0, count, CParamFile::Read);
    return count;
}

// only the list beside itself, and the lock its editors share: no temporary file of an edit stays
void checkNothingBeside(const char* step)
{
    QStringList files = QDir(fuzz::Scratch() + QStringLiteral("/User")).entryList(QDir::Files | QDir::Hidden | QDir::System);
    files.removeOne(QStringLiteral("zvnprg.lst.lock"));
    fuzz::Check(files == QStringList{QStringLiteral("zvnprg.lst")}, "an edit of the list leaves no file beside it",
                QLatin1String(step) + QStringLiteral(": ") + files.join(u' '));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::Initialize("program_list", true);  // the scene search asks for the program's folder
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    const qsizetype cut = input.indexOf("\f\f");
    const QByteArray listBytes = cut < 0 ? input : input.left(cut);
    const QByteArray sectionBytes = cut < 0 ? QByteArray() : input.mid(cut + 2);

    const QString scratch = fuzz::Scratch();
    const QString list = scratch + QStringLiteral("/User/zvnprg.lst");
    const QString section = scratch + QStringLiteral("/info.txt");
    fuzz::WriteFile(list, listBytes);
    fuzz::WriteFile(section, sectionBytes);
    // scenes a program may name, beside the user list and in the system's program folder
    fuzz::WriteFile(scratch + QStringLiteral("/User/winter/winter.zsf"), "[General]\r\n");
    fuzz::WriteFile(scratch + QStringLiteral("/PRG/winter/winter.zsf"), "[General]\r\n");
    fuzz::WriteFile(scratch + QStringLiteral("/winter.zsf"), "[General]\r\n");

    // loading, with the header checks the dialog makes
    CParamFile file;
    file.SetParameterFile(list);
    QList<tagPROGITEM> programs;
    if (CProgramListReader::HeaderIsValid(file)) {
        const CProgramListReader reader;
        reader.DoRead(&file, 1, programs);  // as the system list
        reader.DoRead(&file, 0, programs);  // and as the user list
    }
    // a scene is only ever found in its program's own folder
    for (qsizetype i = 0; i < std::min<qsizetype>(programs.size(), 64); ++i) {
        const tagPROGITEM& p = programs[i];
        QString path, kind, shortKind;
        if (!CProgramListReader::FindScene(p.type, p.script, p.isSystem, list, list, path, kind, shortKind))
            continue;
        const QString folder = QFileInfo(QFileInfo(path).canonicalFilePath()).absolutePath();
        const QString parent = QFileInfo(folder).absolutePath();
        fuzz::Check(parent == scratch + QStringLiteral("/User") || parent == scratch + QStringLiteral("/PRG"),
                    "a program's scene lies in a program folder", p.script + QStringLiteral(" -> ") + path);
    }

    // the editor's line filters
    const int count = std::clamp(countOf(list), 1, 100000);
    CProgramListFile::RemoveSection(listBytes, 1);
    CProgramListFile::RemoveSection(listBytes, count);
    CProgramListFile::RemoveSectionAfterwards(listBytes, 1);
    CProgramListFile::RemoveSectionAfterwards(listBytes, count);

    // appending the section file: all or nothing
    const int countBefore = countOf(list);
    if (CPrgSection::Add(list, section)) {
        fuzz::Check(countOf(list) == countBefore + 1, "an appended program is counted",
                    QString::number(countBefore) + QStringLiteral(" -> ") + QString::number(countOf(list)));
    } else {
        fuzz::Check(fuzz::ReadFile(list) == listBytes, "a refused append leaves the list byte for byte");
    }
    checkNothingBeside("append");

    // deleting the program of the first scene named
    const QByteArray beforeDelete = fuzz::ReadFile(list);
    const QString base = programs.isEmpty() ? QStringLiteral("winter") : CCommonFile::GetBaseFileName(programs.first().script);
    if (!CPrgSection::Delete(list, base))
        fuzz::Check(fuzz::ReadFile(list) == beforeDelete, "a delete that removed nothing leaves the list byte for byte");
    checkNothingBeside("delete");

    fuzz::Clear();
    return 0;
}
