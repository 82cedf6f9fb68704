// Content information documents. The input is an item's document, read as
// the library reads it from the site. A load that fails says so with one
// message box; a file name it accepts as plain stays inside the install
// folder, and so does a package's folder named after it.
#include "tests/fuzz/FuzzSupport.h"

#include "library/ContentsInfo.h"
#include "platform/ResourceChain.h"
#include "platform/Text.h"
#include "support/zvncom/CommonFile.h"

#include <QDir>
#include <QFileInfo>

namespace {

// directly inside the folder, as the cleaned path names it
bool directlyInside(const QString& folder, const QString& name)
{
    return QFileInfo(QDir::cleanPath(folder + u'/' + name)).absolutePath() == folder;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::Initialize("contents_info");
    // the element names are the module's string table's
    platform::RegisterResourceModule(QStringLiteral("zvnd06"), QStringLiteral(ZVN_RES_DIR));
    // the bytes reach the parse as the site's answer would: a document larger than one read
    // of the stream (64 KiB) reads whole, one past the limit not at all
    const QByteArray message(100000, 'x');
    const QByteArray document = "<i><title>T</title><filename>f.zip</filename><size>1</size><genre>BGV</genre><extmessage>"
                                + message + "</extmessage></i>";
    CContentsInfo info;
    fuzz::Check(info.LoadDocument(document, nullptr) == 1 && info.GetField(CContentsInfo::IDS_EXTMESSAGE) == QString::fromLatin1(message)
                    && info.GetField(CContentsInfo::IDS_FILENAME) == u"f.zip",
                "a document in memory reads as the site's answer");
    QByteArray tooLarge = document;
    tooLarge.replace(message, QByteArray(CContentsInfo::kDocumentLimit, 'x'));
    fuzz::Check(info.LoadDocument(tooLarge, nullptr) == 0, "a document beyond the limit does not read");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    CContentsInfo info;
    const int boxes = fuzz::MessageBoxCount();
    const int loaded = info.LoadDocument(input, nullptr);
    fuzz::Check(fuzz::MessageBoxCount() - boxes == (loaded ? 0 : 1), "a failed load shows one message, a load none");
    if (!loaded)
        return 0;

    // as the library's dialog takes the fields
    const QString name = info.GetField(CContentsInfo::IDS_FILENAME);
    platform::_wtoi(info.GetField(CContentsInfo::IDS_SIZE));
    if (CContentsInfo::IsPlainFileName(name)) {
        const QString folder = fuzz::Scratch() + QStringLiteral("/Contents/Prg");
        fuzz::Check(directlyInside(folder, name), "a plain file name stays in its folder", name);
        const QString base = CCommonFile::GetBaseFileName(name);
        if (!base.isEmpty() && base != u"." && !base.startsWith(QStringLiteral("..")))
            fuzz::Check(directlyInside(folder, base), "a package's folder stays in the program folder", base);
    }
    return 0;
}
