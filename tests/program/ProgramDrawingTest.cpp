#include "platform/ResourceChain.h"
#include "program/DlgProgram.h"
#include "program/ProgramArt.h"
#include "program/ZntTpListBox.h"
#include "support/zvncst/DialogUnits.h"
#include "support/zvncst/ZntListBox.h"
#include "tests/program/ListFiles.h"
#include "tests/support/TempEnvironment.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPainter>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <gtest/gtest.h>

using listfiles::header;
using listfiles::section;

namespace {

QRgb at(const QImage& image, QPoint p) { return image.pixel(p) | 0xFF000000; }
QRgb at(const QImage& image, int x, int y) { return at(image, QPoint(x, y)); }

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

// a program of every kind in the lists: Today, guide, program, background video, and a user program
struct Lists {
    TempEnvironment env;
    QString system = env.Path("data/System/zvnprg.lst");
    QString user = env.Path("data/Contents/Prg/zvnprg.lst");
    explicit Lists(int userPrograms = 1)
    {
        TempEnvironment::WriteBytes(system, header("1.0", "ZentorinLite", 4) + section(1, "Today", "Today", "pln.zsf")
                                                + section(2, "CnsGuide", "Guide", "oric.zsf")
                                                + section(3, "Program", "Winter", "winter.zsf", 1500)
                                                + section(4, "BGV", "Piano", "piano.zsf"));
        QByteArray users = header("1.0", "ZentorinLite", userPrograms);
        for (int n = 1; n <= userPrograms; ++n)
            users += section(n, "Program", QString("User %1").arg(n), QString("user%1.zsf").arg(n));
        TempEnvironment::WriteBytes(user, users);
    }
};

void whileOpen(CDlgProgram& dialog, const std::function<void()>& action)
{
    QTimer::singleShot(0, &dialog, [&] {
        QApplication::processEvents();  // the list lays its entries out
        action();
        dialog.OnCancel();
    });
    dialog.DoModal();
}

QImage bitmap(const QString& name) { return platform::LoadBitmap(name).convertToFormat(QImage::Format_RGB32); }

}  // namespace

TEST(ProgramDrawing, ThePanelsPartOfTheBackgroundGoesHalfWayToWhite)
{
    QImage source(4, 4, QImage::Format_RGB32);
    source.fill(QColor(0x10, 0x80, 0xF0));
    const QImage stretched = CProgramArt::StretchedBackground(source, QSize(20, 10), 8);
    ASSERT_EQ(QSize(20, 10), stretched.size());
    EXPECT_EQ(qRgb(0x10, 0x80, 0xF0), at(stretched, 7, 5));
    EXPECT_EQ(qRgb(135, 191, 247), at(stretched, 8, 5));  // trunc(c * 0.5 + 127.5)
    EXPECT_EQ(qRgb(135, 191, 247), at(stretched, 19, 9));
}

TEST(ProgramDrawing, DrawTextLeadingSpacesTheLinesAndReportsTheHeight)
{
    const QFont font = CProgramArt::CellHeightFont(CDialogUnits::TemplateFont("MS UI Gothic", 9), 14, 1.0);
    ASSERT_EQ(14, CProgramArt::LineHeight(font));
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
            ASSERT_TRUE(at(target, x, y) == qRgb(0, 0, 0) || at(target, x, y) == qRgb(255, 255, 255)) << x << "," << y;
    // three bands of 14 rows starting at 0, 18 and 36, nothing between them
    const QList<int> rows = inkedRows(target);
    ASSERT_FALSE(rows.isEmpty());
    for (int row : rows)
        EXPECT_TRUE(row < 14 || (row >= 18 && row < 32) || (row >= 36 && row < 50)) << row;
    EXPECT_TRUE(rows.contains(20) && rows.contains(38));
}

TEST(ProgramDrawing, InfoFontsHaveTheirCellHeightsAtBothScales)
{
    const QFont base = CDialogUnits::TemplateFont("MS UI Gothic", 9);
    const QList<int> heights = {24, 16, 14, 12, 11};
    QList<int> at1, at15;
    for (int n : heights) {
        at1 << CProgramArt::LineHeight(CProgramArt::CellHeightFont(base, n, 1.0));
        at15 << CProgramArt::LineHeight(CProgramArt::CellHeightFont(base, n, 1.5));
    }
    EXPECT_EQ(heights, at1);
    EXPECT_EQ(QList<int>({36, 24, 21, 18, 16}), at15);
}

TEST(ProgramDrawing, TheDialogShowsItsFrameHighlightIconsAndButtons)
{
    Lists lists;
    CDlgProgram dialog(lists.system, lists.user, nullptr);
    dialog.SetProgNum(2);
    dialog.SetScrlPos(0);
    whileOpen(dialog, [&] {
        const QImage shot = dialog.grab().toImage();
        const int w = shot.width(), h = shot.height();
        // the frame: each strip at its edge, each corner at its corner
        const QImage top = bitmap("16020"), bottom = bitmap("16013"), left = bitmap("16015"), right = bitmap("16018");
        for (int i = 0; i < 10; ++i) {
            EXPECT_EQ(at(top, 0, i), at(shot, w / 2, i)) << i;
            EXPECT_EQ(at(bottom, 0, i), at(shot, w / 2, h - 10 + i)) << i;
            EXPECT_EQ(at(left, i, 0), at(shot, i, h / 2)) << i;
            EXPECT_EQ(at(right, i, 0), at(shot, w - 10 + i, h / 2)) << i;
        }
        EXPECT_EQ(at(bitmap("16017"), 19, 19), at(shot, w - 1, h - 1));
        EXPECT_EQ(at(bitmap("16016"), 12, 12), at(shot, 12, 12));

        auto* list = qobject_cast<CZntListBox*>(dialog.GetDlgItem(1015));
        const auto onDialog = [&](int row) {
            return QRect(list->viewport()->mapTo(&dialog, list->visualItemRect(list->item(row)).topLeft()),
                         list->visualItemRect(list->item(row)).size());
        };
        // the selected entry: the highlight's inside, and its key colour showing the list's picture
        const QRect selected = onDialog(2);
        EXPECT_EQ(qRgb(0x50, 0x51, 0x54), at(shot, selected.right() - 5 - 17 - 3, selected.center().y()));
        const QPoint corner = selected.topLeft() + QPoint(5, 1);
        EXPECT_EQ(at(bitmap("16045"), corner), at(shot, corner));
        // an icon: where its mask is white the entry's picture shows, where black the icon
        const QRect today = onDialog(0);
        const QPoint icon(today.x() + 20, (2 * today.y() + today.height()) / 2 - 16);
        const QImage mask = bitmap("16035"), image = bitmap("16040");
        ASSERT_EQ(qRgb(255, 255, 255), at(mask, 0, 0));
        EXPECT_EQ(at(dialog.GetArt().Background(), icon), at(shot, icon));
        const QPoint inside(6, 16);
        ASSERT_EQ(qRgb(0, 0, 0), at(mask, inside));
        EXPECT_EQ(at(image, inside), at(shot, icon + inside));

        // the buttons show the image of their state; delete is off while a system program is selected
        const auto shows = [&](int id) { return dialog.GetDlgItem(id)->grab().toImage().convertToFormat(QImage::Format_RGB32); };
        EXPECT_EQ(bitmap("PRGDELETEX"), shows(1020));
        EXPECT_EQ(bitmap("PRGCLOSEU"), shows(1019));
        dialog.GetDlgItem(1018)->setFocus();
        EXPECT_EQ(bitmap("PRGOKF"), shows(1018));
        qobject_cast<QAbstractButton*>(dialog.GetDlgItem(1018))->setDown(true);
        EXPECT_EQ(bitmap("PRGOKD"), shows(1018));
    });
}

TEST(ProgramDrawing, TheTitlesAndTheCreditKeepToOneLine)
{
    Lists lists(0);
    const QString wide = QString("Wide ").repeated(30);  // far wider than the panel
    TempEnvironment::WriteBytes(lists.user, header("1.0", "ZentorinLite", 1) + section(1, "Program", wide, "wide.zsf")
                                                + platform::ToCodePage("SubTitle=" + wide + "\r\nNarrator=" + wide + "\r\n"));
    CDlgProgram dialog(lists.system, lists.user, nullptr);
    dialog.SetProgNum(4);
    dialog.SetScrlPos(0);
    whileOpen(dialog, [&] {
        const QRect panel = dialog.GetInfoRect();
        const QRect r = panel.adjusted(30, 10, -30, -10);
        const QList<int> rows = inkedRows(dialog.grab(r).toImage());  // rows from r's top
        // title 24 and sub-title 16 high, each one line: the separator 5 + 24 + 16 + 5 below the top
        const QImage line = dialog.grab(QRect(r.left(), r.top() + 50, r.width(), 1)).toImage();
        for (int x = 0; x < line.width(); ++x)
            ASSERT_LT(qGray(line.pixel(x, 0)), 100) << x;
        // 15 + 15 below it (no summary, no year) the label, 14 high; 3 below that the value alone on its line;
        // then nothing up to the notice
        const int label = 50 - 5 + 30, value = label + 14 + 3;
        EXPECT_TRUE(rows.contains(label + 7) && rows.contains(value + 7));
        for (int row : rows)
            EXPECT_TRUE(row <= 50 || (row >= label && row < value + 14) || row >= panel.bottom() - 33 - r.top()) << row;
    });
}

TEST(ProgramDrawing, WithNoEntryThePanelShowsOnlyThePicture)
{
    Lists lists(0);
    TempEnvironment::WriteBytes(lists.system, header());
    CDlgProgram dialog(lists.system, lists.user, nullptr);
    whileOpen(dialog, [&] {
        ASSERT_EQ(-1, dialog.GetProgNum());
        const QRect panel = dialog.GetInfoRect();
        EXPECT_EQ(dialog.GetArt().Background().copy(panel), dialog.grab(panel).toImage().convertToFormat(QImage::Format_RGB32));
    });
}

TEST(ProgramDrawing, WheelAndScrollBarMoveTheListByTheirSteps)
{
    Lists lists(80);
    CDlgProgram dialog(lists.system, lists.user, nullptr);
    whileOpen(dialog, [&] {
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
    });
    EXPECT_EQ(1, dialog.GetScrlPos());
}
