#include "platform/MessageBox.h"
#include "platform/ResourceChain.h"
#include "support/zvncst/FolderBrowser.h"
#include "support/zvncst/ResScale.h"
#include "support/zvncst/ZntBitmapButton.h"
#include "support/zvncst/ZntButton.h"
#include "support/zvncst/ZntDialog.h"
#include "support/zvncst/ZntProgressCtrl.h"
#include "support/zvncst/ZntRichEditCtrl.h"
#include "support/zvncst/ZntScrollBar.h"
#include "support/zvncst/ZntTreeCtrlEx.h"
#include "support/zvnreg/Registry.h"
#include "tests/frame/Frame.h"
#include "tests/support/MessageBoxScript.h"

#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QTreeWidget>

using namespace platform;

TEST_F(FrameTest, DescriptionTakesNoMoreThanItsLimit)
{
    CZntDialog dialog(16102, nullptr);
    CZntRichEditCtrl description;
    ASSERT_EQ(1, description.Attach(1009, &dialog));
    description.SetLimitText(10);
    qobject_cast<QTextEdit*>(description.GetWnd())->setPlainText("0123456789abc");
    EXPECT_EQ("0123456789", description.GetWindowText());
}

TEST_F(FrameTest, ColoursAreDrawnAsGiven)
{
    CZntDialog skinned(16101, nullptr);
    EXPECT_EQ(qRgb(0x23, 0x28, 0x32), Pixel(&skinned, 2, 2));  // the skin's night blue, where no control is
    CZntButton button;  // COLORREF 0x00BBGGRR
    ASSERT_EQ(1, button.Attach(1001, &skinned, 0, 0x204080, 0x6B6B6B, 0x204080, 1));
    EXPECT_EQ(qRgb(0x80, 0x40, 0x20), Pixel(button.GetWnd(), 4, 4));
    EXPECT_EQ(qRgb(0x6B, 0x6B, 0x6B), Pixel(button.GetWnd(), 2, 0));  // a flat button's corners round by 2 pixels, not 4

    CRegistry::Write("General\\Display", "PlainStyle", 1);
    CZntDialog plain(16101, nullptr);
    QWidget* description = plain.GetDlgItem(1005);
    SendMessage(description, EM_SETBKGNDCOLOR, 0, 0x204080);
    EXPECT_EQ(qRgb(0x80, 0x40, 0x20), Pixel(description, description->width() / 2, description->height() / 2));
}

TEST_F(FrameTest, OneLineTextsFitTheirControlsShrunkIfNeed)
{
    // what the style needs to show the whole text (box and gap, frame and padding included)
    for (int id : {16101, 16102, 16103, 16104, 16105, 16108, 16112, 16114, 16115}) {
        const CZntDialog dialog(id, nullptr);
        for (QWidget* control : dialog.findChildren<QWidget*>()) {
            auto* label = qobject_cast<QLabel*>(control);
            if ((label && !label->wordWrap()) || qobject_cast<QCheckBox*>(control) || qobject_cast<QPushButton*>(control)) {
                EXPECT_LE(control->sizeHint().width(), control->width()) << id << " " << control->objectName().toStdString();
            }
        }
    }
}

TEST_F(FrameTest, ProgressTakesRangeAndPositionAsTheWindowsMessagesSetThem)
{
    CZntDialog dialog(16105, nullptr);
    QWidget* bar = dialog.GetDlgItem(1022);
    SendMessage(bar, PBM_SETRANGE, 0, (200 << 16) | 10);
    EXPECT_EQ(200, qobject_cast<QProgressBar*>(bar)->maximum());
    EXPECT_EQ(10, SendMessage(bar, PBM_SETPOS, 50, 0));  // answers the previous position
    EXPECT_EQ(50, SendMessage(bar, PBM_GETPOS, 0, 0));
    SendMessage(bar, PBM_SETPOS, static_cast<WPARAM>(-1), 0);  // what MulDiv answers for size 0
    EXPECT_EQ(10, qobject_cast<QProgressBar*>(bar)->value());
}

TEST_F(FrameTest, BitmapButtonShowsTheImageOfItsStateAndScaleFollowsTheScreen)
{
    CZntBitmapButton button("PRGOK");
    button.resize(button.sizeHint());
    EXPECT_EQ(LoadBitmap("PRGOKU"), button.grab().toImage().convertToFormat(LoadBitmap("PRGOKU").format()));
    button.setEnabled(false);
    EXPECT_EQ(LoadBitmap("PRGOKX"), button.grab().toImage().convertToFormat(LoadBitmap("PRGOKX").format()));
    EXPECT_EQ(0, button.LoadBitmaps("NOSUCHBUTTON"));
    EXPECT_DOUBLE_EQ(1.0, CResScale::GetRatio());  // the offscreen screen has 96 dpi
}

TEST_F(FrameTest, FlatScrollBarPagesTowardsTheClickAndItsThumbFollowsThePointer)
{
    struct List : QListWidget, CZntScrollBar {
        QList<QPair<int, int>> requests;
        void OnVScroll(int code, int position) override { requests.append({code, position}); }
    } list;
    list.resize(120, 200);
    list.show();
    ASSERT_EQ(1, list.InitializeFlatScrollBar(&list));
    list.SetScrollRange(SB_VERT, 0, 50, false);
    list.SetScrollPos(SB_VERT, 25, true);
    CZntFlatScrollBar* bar = list.FlatScrollBar();
    const QRect thumb = bar->ThumbRect();
    QTest::mouseClick(bar, Qt::LeftButton, {}, {thumb.center().x(), thumb.top() - 2});
    QTest::mouseClick(bar, Qt::LeftButton, {}, {thumb.center().x(), thumb.bottom() + 2});
    // the thumb taken by its middle and pulled onto the lower arrow: the last position
    QTest::mousePress(bar, Qt::LeftButton, {}, thumb.center());
    QTest::mouseMove(bar, thumb.center() + QPoint(0, bar->height() - bar->width() - thumb.bottom() - 1));
    QTest::mouseRelease(bar, Qt::LeftButton, {}, thumb.center() + QPoint(0, bar->height() - bar->width() - thumb.bottom() - 1));
    ASSERT_GE(list.requests.size(), 5);
    EXPECT_EQ(SB_PAGEUP, list.requests[0].first);
    EXPECT_EQ(SB_PAGEDOWN, list.requests[2].first);  // each click ends its scroll
    EXPECT_EQ(QPair(int(SB_THUMBTRACK), 50), list.requests[4]);
}

TEST_F(FrameTest, FolderTreeKeepsToItsRootAndSaysWhyItRefuses)
{
    const QString root = env.Path("Fav");
    for (const QString& folder : {root + "/a", root + "/b", env.Path("Fav2")})
        QDir().mkpath(folder);
    QTreeWidget widget;
    CZntTreeCtrlEx tree;
    tree.Init("zsf");
    tree.AttachTree(&widget);
    ASSERT_EQ(1, tree.SetDirectory(root));
    QTreeWidgetItem* a = tree.FindItem(root + "/a");
    {
        MessageBoxScript boxes;
        boxes.Expect(root + "/b は既に存在します。", MB_OK | MB_ICONEXCLAMATION, IDOK);
        boxes.Expect("「a」を移動できません。", MB_OK | MB_ICONEXCLAMATION, IDOK);
        EXPECT_EQ(0, tree.RenameItem(a, "a"));  // its own name: nothing to do, nothing to say
        EXPECT_EQ(0, tree.RenameItem(a, "b"));
        tree.SelectItem(a);
        EXPECT_EQ(0, tree.MoveTo(env.Path("Fav2")));  // beside the root, though named like it
    }
    EXPECT_TRUE(QFileInfo::exists(root + "/a"));

    tree.SelectItem(tree.GetRootItem());
    ASSERT_EQ(1, tree.NewFolder());
    auto* name = widget.findChild<QLineEdit*>();  // opened for the user to type its name
    ASSERT_NE(nullptr, name);
    EXPECT_EQ("新しいフォルダー", name->text());
    EXPECT_EQ(root + "/新しいフォルダー", tree.GetFullPathNameW(tree.GetSelectedItem()));

    const QString chosen = CFolderBrowser::ShowWindow(nullptr, root, root + "/b/", "移動先", [](QWidget& window) {
        EXPECT_EQ("フォルダの参照", window.windowTitle());
        static_cast<QDialog&>(window).accept();
    });
    EXPECT_EQ(root + "/b", chosen);
}
