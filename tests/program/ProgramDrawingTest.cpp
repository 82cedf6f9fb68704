#include "platform/ResourceChain.h"
#include "program/ProgramArt.h"
#include "program/ZntTpListBox.h"
#include "support/zvncst/DialogUnits.h"
#include "support/zvncst/ZntListBox.h"
#include "support/zvncst/ZntScrollBar.h"
#include "tests/program/ProgramFixture.h"

#include <QAbstractButton>
#include <QDir>
#include <QPainter>
#include <QWheelEvent>

namespace {

QRgb at(const QImage& image, QPoint p) { return image.pixel(p) | 0xFF000000; }

// the rows of an image that hold a dark pixel
QList<int> inkedRows(const QImage& image)
{
    QList<int> rows;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 100) {  // below the panel's lightened picture
                rows << y;
                break;
            }
    return rows;
}

QImage bitmap(const QString& name) { return platform::LoadBitmap(name).convertToFormat(QImage::Format_RGB32); }

// the dialog with the user's programs from index 4, the first selected unless another is given
void whileOpen(ProgramLists& lists, const QByteArray& extra, const std::function<void(CDlgProgram&)>& action, int selected = 4)
{
    TempEnvironment::WriteBytes(lists.user, header("1.0", "ZentorinLite", int(extra.count("[Prog"))) + extra);
    CDlgProgram dialog(lists.system, lists.user, nullptr);
    dialog.SetProgNum(selected);
    dialog.SetScrlPos(0);
    run(dialog, [&] { action(dialog); }, true);
}

}  // namespace

TEST(ProgramDrawing, ThePanelsPartOfTheBackgroundGoesHalfWayToWhite)
{
    QImage source(4, 4, QImage::Format_RGB32);
    source.fill(QColor(0x10, 0x80, 0xF0));
    const QImage stretched = CProgramArt::StretchedBackground(source, QSize(20, 10), 8);
    ASSERT_EQ(QSize(20, 10), stretched.size());
    EXPECT_EQ(qRgb(0x10, 0x80, 0xF0), at(stretched, {7, 5}));
    EXPECT_EQ(qRgb(135, 191, 247), at(stretched, {8, 5}));  // trunc(c * 0.5 + 127.5)
    EXPECT_EQ(qRgb(135, 191, 247), at(stretched, {19, 9}));
}

TEST(ProgramDrawing, TextLeadingSpacesTheLinesAndTheFontsHaveTheirCellHeights)
{
    const QFont base = CDialogUnits::TemplateFont("MS UI Gothic", 9);
    QList<int> at1, at15;
    for (int n : {24, 16, 14, 12, 11}) {
        at1 << CProgramArt::LineHeight(CProgramArt::CellHeightFont(base, n, 1.0));
        at15 << CProgramArt::LineHeight(CProgramArt::CellHeightFont(base, n, 1.5));
    }
    EXPECT_EQ(QList<int>({24, 16, 14, 12, 11}), at1);
    EXPECT_EQ(QList<int>({36, 24, 21, 18, 16}), at15);

    const QFont font = CProgramArt::CellHeightFont(base, 14, 1.0);
    QImage target(200, 100, QImage::Format_RGB32);
    target.fill(Qt::white);
    QPainter dc(&target);
    const QRect rect(0, 0, 200, 100);
    EXPECT_EQ(0, CProgramArt::DrawTextLeading(&dc, &font, QString(), &rect, Qt::TextWordWrap, 1.3));
    // a rectangle pushed past its bottom: nothing drawn, and the blocks below still move by the text's height
    const QRect past(QPoint(0, 90), QPoint(199, 80));
    EXPECT_EQ(54, CProgramArt::DrawTextLeading(&dc, &font, "MMM\r\nMMM\r\nMMM", &past, Qt::TextWordWrap, 1.3));
    EXPECT_TRUE(inkedRows(target).isEmpty());
    EXPECT_EQ(54, CProgramArt::DrawTextLeading(&dc, &font, "MMM\r\nMMM\r\nMMM", &rect, Qt::TextWordWrap, 1.3));
    dc.end();
    // the mask has two levels: each pixel is the text's black or the white below, never a mix of bits
    for (int y = 0; y < target.height(); ++y)
        for (int x = 0; x < target.width(); ++x)
            ASSERT_TRUE(at(target, {x, y}) == qRgb(0, 0, 0) || at(target, {x, y}) == qRgb(255, 255, 255)) << x << "," << y;
    // three bands of 14 rows starting at 0, 18 and 36, nothing between them
    const QList<int> rows = inkedRows(target);
    for (int row : rows)
        EXPECT_TRUE(row < 14 || (row >= 18 && row < 32) || (row >= 36 && row < 50)) << row;
    EXPECT_TRUE(rows.contains(20) && rows.contains(38));
}

TEST(ProgramDrawing, TheDialogShowsItsFrameHighlightIconsButtonsAndTheSelectedProgramsTexts)
{
    ProgramLists lists(0);
    const QString user = QString::fromUtf8(
        "\r\n[Prog1]\r\nType=Program\r\nTitle=星めぐり\r\nSubTitle=春の夜\r\nScript=spring.zsf\r\n"
        "Summary=一行目\\r\\n二行目\r\nYear=2009\r\nNarrator=語り手\r\nArtist=画家\r\nArtWork=イラスト\r\n"
        "Profile=東京生まれ\\r\\n天文家\r\nOrg=星の会\r\nOrgInfo=会員募集中\\r\\n毎月観望会\r\n"
        "\r\n[Prog2]\r\nType=BGV\r\nTitle=ピアノ\r\nScript=piano.zsf\r\nMusic=夜想曲\r\nNarrator=使われない\r\n");
    whileOpen(lists, platform::ToCodePage(user), [&](CDlgProgram& dialog) {
        const QImage shot = dialog.grab().toImage().convertToFormat(QImage::Format_RGB32);
        const int w = shot.width(), h = shot.height();
        // the frame: each strip at its edge, each corner at its corner
        EXPECT_EQ(bitmap("16020"), shot.copy(w / 2, 0, 1, 10));
        EXPECT_EQ(bitmap("16013"), shot.copy(w / 2, h - 10, 1, 10));
        EXPECT_EQ(bitmap("16015"), shot.copy(0, h / 2, 10, 1));
        EXPECT_EQ(bitmap("16018"), shot.copy(w - 10, h / 2, 10, 1));
        EXPECT_EQ(bitmap("16016"), shot.copy(0, 0, 20, 20));
        EXPECT_EQ(bitmap("16017"), shot.copy(w - 20, h - 20, 20, 20));

        QListWidget* list = listOf(dialog);
        const auto onDialog = [&](int row) {
            return QRect(list->viewport()->mapTo(&dialog, list->visualItemRect(list->item(row)).topLeft()),
                         list->visualItemRect(list->item(row)).size());
        };
        // the selected entry: the highlight's inside, and its key colour showing the list's picture
        const QRect selected = onDialog(4);
        EXPECT_EQ(qRgb(0x50, 0x51, 0x54), at(shot, {selected.right() - 5 - 17 - 3, selected.center().y()}));
        const QPoint corner = selected.topLeft() + QPoint(5, 1);
        EXPECT_EQ(at(bitmap("16045"), corner), at(shot, corner));
        // an icon: where its mask is white the entry's picture shows, where black the icon
        const QRect today = onDialog(0);
        const QPoint icon(today.x() + 20, (2 * today.y() + today.height()) / 2 - 16);
        const QImage mask = bitmap("16035"), image = bitmap("16040");
        ASSERT_EQ(qRgb(255, 255, 255), at(mask, {0, 0}));
        EXPECT_EQ(at(dialog.GetArt().Background(), icon), at(shot, icon));
        const QPoint inside(6, 16);
        ASSERT_EQ(qRgb(0, 0, 0), at(mask, inside));
        EXPECT_EQ(at(image, inside), at(shot, icon + inside));

        // the buttons show the image of their state; delete is off while a system program is selected
        const auto shows = [&](int id) { return dialog.GetDlgItem(id)->grab().toImage().convertToFormat(QImage::Format_RGB32); };
        EXPECT_EQ(bitmap("PRGDELETEU"), shows(1020));
        const CDlgProgram::InfoTexts& info = dialog.GetInfoTexts();
        EXPECT_EQ(QStringList({QString::fromUtf8("星めぐり"), QString::fromUtf8(" ～ 春の夜 ～"), QString::fromUtf8("一行目\r\n二行目"),
                               QString::fromUtf8("2009年制作"), QString::fromUtf8("イラスト："), QString::fromUtf8("画家（星の会）"),
                               QString::fromUtf8("★東京生まれ\r\n天文家"), QString::fromUtf8("☆星の会\r\n会員募集中\r\n毎月観望会")}),
                  QStringList({info.title, info.subTitle, info.summary, info.year, info.creditLabel, info.creditValue, info.profile,
                               info.organisation}));
        clickEntry(list, 5);
        EXPECT_EQ(QStringList({QString::fromUtf8("曲："), QString::fromUtf8("夜想曲"), "", "", ""}),
                  QStringList({info.creditLabel, info.creditValue, info.subTitle, info.profile, info.organisation}));
        clickEntry(list, 1);
        EXPECT_EQ(bitmap("PRGDELETEX"), shows(1020));
        EXPECT_EQ(bitmap("PRGCLOSEU"), shows(1019));
        dialog.GetDlgItem(1018)->setFocus();
        EXPECT_EQ(bitmap("PRGOKF"), shows(1018));
        qobject_cast<QAbstractButton*>(dialog.GetDlgItem(1018))->setDown(true);
        EXPECT_EQ(bitmap("PRGOKD"), shows(1018));
    });
}

TEST(ProgramDrawing, AnEntryShowsItsTitleBoldAndItsTimeAndCreditBelow)
{
    // a black picture and an icon whose mask hides it all: the entry's pixels are its texts alone
    TempEnvironment art;
    QImage black(800, 600, QImage::Format_RGB32), white(32, 32, QImage::Format_RGB32);
    black.fill(Qt::black);
    white.fill(Qt::white);
    ASSERT_TRUE(QDir().mkpath(art.Path("bitmaps")));
    ASSERT_TRUE(black.save(art.Path("bitmaps/16045.png")) && white.save(art.Path("bitmaps/16038.png")));
    ASSERT_TRUE(black.copy(0, 0, 32, 32).save(art.Path("bitmaps/16043.png")));
    platform::RegisterResourceModule("flat", art.Root());
    ProgramLists lists(0);
    whileOpen(lists, section(1, "Program", QString::fromUtf8("星めぐり"), "stars.zsf", 307), [&](CDlgProgram& dialog) {
        QListWidget* list = listOf(dialog);
        const QRect entry = list->visualItemRect(list->item(4));
        const QImage shown = list->viewport()->grab(entry).toImage().convertToFormat(QImage::Format_RGB32);
        // the title at x 60, 8 down, in the system font; the lines below in the dialog's font, at x 70
        QImage expected(entry.size(), QImage::Format_RGB32);
        expected.fill(Qt::black);
        QPainter dc(&expected);
        dc.setPen(QColor(0xF0, 0xF0, 0xF0));
        const int oneLine = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
        const auto lineHeight = [](const QFont& f) { return QFontMetrics(f).boundingRect(QRect(), Qt::TextSingleLine, "M").height(); };
        dc.setFont(CProgramArt::CellHeightFont(dialog.font(), 16, 1.0));
        const QRect title(60, 8, entry.width() - 60, lineHeight(dc.font()));
        dc.drawText(title, oneLine, QString::fromUtf8("星めぐり"));
        dc.drawText(title.translated(1, 0), oneLine, QString::fromUtf8("星めぐり"));
        dc.setFont(dialog.font());
        const int line = lineHeight(dialog.font());
        const QRect time(70, title.bottom() + 1 + 4, entry.width() - 70, line);
        dc.drawText(time, oneLine, QString::fromUtf8("上映時間：05分07秒"));
        dc.drawText(time.translated(0, line + 3), oneLine, QString::fromUtf8("シナリオ・ナレーション："));
        dc.end();
        EXPECT_EQ(expected, shown);
    }, 0);
    platform::UnregisterResourceModule("flat");
}

TEST(ProgramDrawing, ThePanelKeepsTitlesAndCreditToOneLineWithinItsMargins)
{
    ProgramLists lists(0);
    const QString wide = QString("Wide ").repeated(30);  // far wider than the panel
    whileOpen(lists, section(1, "Program", wide, "wide.zsf") + platform::ToCodePage("SubTitle=" + wide + "\r\nNarrator=" + wide + "\r\n"),
              [&](CDlgProgram& dialog) {
        const QRect panel = dialog.GetInfoRect();
        const QRect r = panel.adjusted(30, 10, -30, -10);
        const QList<int> rows = inkedRows(dialog.grab(r).toImage());  // rows from r's top
        // title 24 and sub-title 16 high, each one line: the separator 5 + 24 + 16 + 5 below the top, from margin to margin
        const QImage line = dialog.grab(QRect(r.left() - 1, r.top() + 50, r.width() + 2, 1)).toImage();
        for (int x = 1; x <= r.width(); ++x)
            ASSERT_LT(qGray(line.pixel(x, 0)), 100) << x;
        EXPECT_GT(qGray(line.pixel(0, 0)), 100);
        EXPECT_GT(qGray(line.pixel(r.width() + 1, 0)), 100);
        // 15 + 15 below it (no summary, no year) the label, 14 high; 3 below that the value alone on its line;
        // then nothing up to the notice
        const int label = 50 - 5 + 30, value = label + 14 + 3;
        EXPECT_TRUE(rows.contains(label + 7) && rows.contains(value + 7));
        for (int row : rows)
            EXPECT_TRUE(row <= 50 || (row >= label && row < value + 14) || row >= panel.bottom() - 33 - r.top()) << row;
    });

    // with no entry the panel shows only the picture
    TempEnvironment::WriteBytes(lists.system, header());
    CDlgProgram empty(lists.system, lists.env.Path("none.lst"), nullptr);
    run(empty, [&] {
        ASSERT_EQ(-1, empty.GetProgNum());
        const QRect panel = empty.GetInfoRect();
        EXPECT_EQ(empty.GetArt().Background().copy(panel), empty.grab(panel).toImage().convertToFormat(QImage::Format_RGB32));
    }, true);
}

TEST(ProgramDrawing, WheelAndScrollBarMoveTheListByTheirSteps)
{
    ProgramLists lists(80);
    CDlgProgram dialog(lists.system, lists.user, nullptr);
    run(dialog, [&] {
        CZntTpListBox& box = dialog.GetListBox();
        CZntListBox* list = box.List();
        const int last = list->count() - 6;
        const auto wheel = [&](int delta) {
            QWheelEvent e(QPointF(20, 20), list->viewport()->mapToGlobal(QPointF(20, 20)), {}, QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
            QCoreApplication::sendEvent(list->viewport(), &e);
        };
        wheel(120);  // up at the top: nothing
        EXPECT_EQ(0, list->GetTopIndex());
        wheel(-240);
        EXPECT_EQ(2, list->GetTopIndex());
        EXPECT_EQ(2, box.FlatScrollBar()->Pos());
        box.OnVScroll(SB_PAGEDOWN, 0);
        EXPECT_EQ(7, list->GetTopIndex());
        box.OnVScroll(SB_LINEUP, 0);
        EXPECT_EQ(6, list->GetTopIndex());
        box.OnVScroll(SB_THUMBTRACK, 1000);  // the list limits it itself
        EXPECT_EQ(last, list->GetTopIndex());
        EXPECT_EQ(last, box.GetTopIndex());
        EXPECT_EQ(last, box.FlatScrollBar()->Pos());
        wheel(-120);  // the last page is shown: nothing
        EXPECT_EQ(last, list->GetTopIndex());
        box.OnVScroll(SB_TOP, 0);
        EXPECT_EQ(0, box.FlatScrollBar()->Pos());
        // the user presses the flat bar's lower arrow
        CZntFlatScrollBar* bar = box.FlatScrollBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, bar->height() - 2));
        EXPECT_EQ(1, list->GetTopIndex());
    }, true);
    EXPECT_EQ(1, dialog.GetScrlPos());
}
