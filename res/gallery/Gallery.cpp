// Builds each of the module's dialogs from its template, offscreen, and
// saves a picture of it, so that anyone can look at every dialog.
//
//   zvngallery [FOLDER]      (default: ./gallery)
#include "favorites/DlgAddFavorites.h"
#include "frame/CorZnt.h"
#include "frame/Module.h"
#include "platform/CodePage.h"
#include "program/DlgProgram.h"
#include "support/zvncst/ZntDialog.h"
#include "support/zvnreg/Registry.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>

namespace {

// the date the program dialog and the favourites ask for
class GalleryHost : public CCorZnt {
public:
    QString ExecCommand(const QString& command) override
    {
        if (command.startsWith(QStringLiteral("? time.")))
            return command.endsWith(u'r') ? QStringLiteral("2026") : command.endsWith(u'h') ? QStringLiteral("1") : QStringLiteral("15");
        return QStringLiteral("LST AD2026/1/15 03:42:17");
    }
};

void writeList(const QString& path, const QString& programs, int count)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(platform::ToCodePage(QStringLiteral("[General]\r\nFileOwner=ZentorinLite\r\nFileId=ProgramList\r\n"
                                                       "FileVersion=1.0\r\n\r\n[Programs]\r\nNum=%1\r\n%2")
                                            .arg(count)
                                            .arg(programs)));
}

// the program dialog over lists with a program of every kind, the third selected
std::unique_ptr<CZntDialog> programDialog(const QTemporaryDir& folder, GalleryHost& host)
{
    const QString system = folder.filePath(QStringLiteral("System/zvnprg.lst"));
    const QString user = folder.filePath(QStringLiteral("Contents/Prg/zvnprg.lst"));
    writeList(system,
              QStringLiteral(
                  "\r\n[Prog1]\r\nType=Today\r\nTitle=今日の星空\r\nScript=pln.zsf\r\nNarrator=星野 すばる\r\n"
                  "\r\n[Prog2]\r\nType=CnsGuide\r\nTitle=88星座ガイド\r\nScript=oric.zsf\r\nNarrator=星野 すばる\r\n"
                  "\r\n[Prog3]\r\nType=Program\r\nTitle=冬の大三角をさがそう\r\nSubTitle=オリオン座・おおいぬ座・こいぬ座\r\n"
                  "Script=winter.zsf\r\nTime=1500\r\nYear=2025\r\nNarrator=星野 すばる\r\n"
                  "Summary=ベテルギウス、シリウス、プロキオンが描く冬の大三角。\\r\\n明るい一等星をたどって、冬の星座を見つけましょう。\r\n"
                  "Profile=プラネタリウム解説員。全国の科学館で星空案内を続けている。\r\nOrg=ZVN天文同好会\r\n"
                  "OrgInfo=星空観察会を毎月開いています。\\r\\n見学は自由です。\r\n"
                  "\r\n[Prog4]\r\nType=BGV\r\nTitle=星空とピアノ\r\nScript=piano.zsf\r\nMusic=ピアノ演奏 空野 そら\r\n"),
              4);
    writeList(user,
              QStringLiteral("\r\n[Prog1]\r\nType=Program\r\nTitle=星と詩 & 朗読\r\nScript=poem.zsf\r\n"
                             "ArtWork=イラスト\r\nArtist=天野 かなた\r\n"
                             "\r\n[Prog2]\r\nType=BGV\r\nTitle=夜想曲\r\nScript=nocturne.zsf\r\nMusic=弦楽四重奏\r\n"),
              2);
    auto dialog = std::make_unique<CDlgProgram>(system, user, &host, nullptr);
    dialog->SetProgNum(2);
    dialog->SetScrlPos(0);
    return dialog;
}

// the add-to-favourites dialog as it opens, folded (its default) or unfolded
std::unique_ptr<CZntDialog> addFavoritesDialog(const QTemporaryDir& folder, GalleryHost& host, bool unfolded)
{
    const QString root = folder.filePath(QStringLiteral("Favorites"));
    for (const QString& scene : {QStringLiteral("冬の星座"), QStringLiteral("夏/天の川")}) {
        QDir().mkpath(QFileInfo(root + u'/' + scene).path());
        QFile(root + u'/' + scene + QStringLiteral(".zsf")).open(QIODevice::WriteOnly);
    }
    CRegistry::Write(QStringLiteral("Dialog\\AddFavorites"), QStringLiteral("IsExpanded"), unfolded ? 1 : 0);
    return std::make_unique<CDlgAddFavorites>(&host, root, nullptr);
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("gallery");
    QDir().mkpath(folder);
    const ZvnModuleInfo info = GetModuleInfo();
    std::printf("%s %s\n", qPrintable(info.name), qPrintable(info.version));

    int failures = 0;
    const QTemporaryDir lists;
    GalleryHost host;
    // the settings the dialogs read are the gallery's own
    CRegistry::SetSettingsPath(lists.filePath(QStringLiteral("settings.ini")));
    // 16102 twice more: the dialog itself, folded and unfolded
    const int kFolded = -1, kUnfolded = -2;
    for (int id : {16101, 16102, kFolded, kUnfolded, 16103, 16104, 16105, 16108, 16112, 16114, 16115}) {
        // the program dialog draws itself: it is shown as itself, with programs in it
        const std::unique_ptr<CZntDialog> made = id == 16103  ? programDialog(lists, host)
                                                 : id < 0     ? addFavoritesDialog(lists, host, id == kUnfolded)
                                                              : std::make_unique<CZntDialog>(id, nullptr);
        CZntDialog& dialog = *made;
        dialog.show();
        QApplication::processEvents();  // the list lays its entries out  // sets the window up, lays out and polishes every control, as a person would see it
        // in device pixels, so that a scaled screen (QT_SCALE_FACTOR=2) shows as it would be seen
        const qreal scale = dialog.devicePixelRatioF();
        QImage picture(dialog.size() * scale, QImage::Format_RGB32);
        picture.setDevicePixelRatio(scale);
        picture.fill(Qt::white);
        dialog.render(&picture);
        const QString name = id == kFolded ? QStringLiteral("16102-folded") : id == kUnfolded ? QStringLiteral("16102-unfolded") : QString::number(id);
        const QString path = QStringLiteral("%1/%2.png").arg(folder, name);
        const bool saved = picture.save(path);
        std::printf("%-14s  %-40s %4d x %-4d %s\n", qPrintable(name), qPrintable(dialog.windowTitle()), dialog.width(), dialog.height(),
                    saved ? qPrintable(path) : "NOT SAVED");
        failures += saved && !dialog.Template().controls.isEmpty() ? 0 : 1;
        dialog.hide();
    }
    return failures == 0 ? 0 : 1;
}
