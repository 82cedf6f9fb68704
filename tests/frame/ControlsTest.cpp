#include "platform/WindowMessage.h"
#include "support/zvncst/ResScale.h"
#include "support/zvncst/ZntBitmapButton.h"
#include "support/zvncst/ZntButton.h"
#include "support/zvncst/ZntCheckBox.h"
#include "support/zvncst/ZntDialog.h"
#include "support/zvncst/ZntDialogBase.h"
#include "support/zvncst/ZntEdit.h"
#include "support/zvncst/ZntProgressCtrl.h"
#include "support/zvncst/ZntRichEditCtrl.h"
#include "support/zvncst/ZntTheme.h"

#include <QLineEdit>
#include <QProgressBar>
#include <QTest>
#include <QTextEdit>
#include <gtest/gtest.h>

TEST(Controls, AttachFindsTheTemplateControlAndSpeaksForIt)
{
    CZntDialog dialog(16102, nullptr);
    CZntEdit name;
    ASSERT_EQ(1, name.Attach(1008, &dialog));
    name.SetLimitText(128);
    QTest::keyClicks(qobject_cast<QLineEdit*>(name.GetWnd()), QString(140, 'x'));
    EXPECT_EQ(128, name.GetWindowText().size());
    name.EnableWindow(false);
    EXPECT_FALSE(name.IsWindowEnabled());

    CZntRichEditCtrl description;
    ASSERT_EQ(1, description.Attach(1009, &dialog));
    description.SetLimitText(10);
    qobject_cast<QTextEdit*>(description.GetWnd())->setPlainText("0123456789abc");
    EXPECT_EQ("0123456789", description.GetWindowText());

    CZntButton folder;
    ASSERT_EQ(1, folder.Attach(1011, &dialog, 0, 0xC4C4C4, 0x6B6B6B, 0xC4C4C4, 1));
    EXPECT_EQ(0xC4C4C4u, folder.GetFaceColor());
    EXPECT_EQ(0x6B6B6Bu, folder.GetBorderColor());
    EXPECT_EQ(1, folder.GetFlat());
    EXPECT_TRUE(folder.GetWnd()->styleSheet().contains("#c4c4c4"));

    CZntCheckBox missing;
    EXPECT_EQ(0, missing.Attach(4242, &dialog));
    EXPECT_EQ(0, missing.GetCheck());
}

TEST(Controls, ProgressTakesRangeAndPositionAsTheWindowsMessagesSetThem)
{
    CZntDialog dialog(16105, nullptr);
    QWidget* bar = dialog.GetDlgItem(1022);
    platform::SendMessage(bar, PBM_SETRANGE, 0, (200 << 16) | 10);
    EXPECT_EQ(10, qobject_cast<QProgressBar*>(bar)->minimum());
    EXPECT_EQ(200, qobject_cast<QProgressBar*>(bar)->maximum());
    EXPECT_EQ(10, platform::SendMessage(bar, PBM_SETPOS, 50, 0));  // answers the previous position
    EXPECT_EQ(50, platform::SendMessage(bar, PBM_GETPOS, 0, 0));
    platform::SendMessage(bar, PBM_SETPOS, static_cast<platform::WPARAM>(-1), 0);  // what MulDiv answers for size 0
    EXPECT_EQ(10, qobject_cast<QProgressBar*>(bar)->value());

    CZntProgressCtrl progress;
    ASSERT_EQ(1, progress.Attach(1022, &dialog));
    progress.SetRange(0, 100);
    EXPECT_EQ(10, progress.SetPos(0));
    EXPECT_EQ(0, progress.SetPos(250));
    EXPECT_EQ(100, progress.GetPos());
}

TEST(Controls, BitmapButtonShowsTheImageOfItsState)
{
    CZntBitmapButton button("PRGOK");
    button.resize(button.sizeHint());
    EXPECT_EQ(QSize(107, 49), button.sizeHint());
    const QImage up = button.grab().toImage();
    button.setEnabled(false);
    const QImage disabled = button.grab().toImage();
    EXPECT_NE(up, disabled);
    EXPECT_EQ(0, button.LoadBitmaps("NOSUCHBUTTON"));
}

TEST(Controls, PasteBitmapCopiesThePartAsked)
{
    QImage source(4, 4, QImage::Format_RGB32);
    source.fill(Qt::black);
    source.setPixel(2, 1, qRgb(255, 0, 0));
    QImage target(10, 10, QImage::Format_RGB32);
    target.fill(Qt::white);
    EXPECT_EQ(1, CZntDialogBase::PasteBitmap(&target, source, 5, 6, 2, 1, 1, 1));
    EXPECT_EQ(qRgb(255, 0, 0), target.pixel(5, 6));
    EXPECT_EQ(qRgb(255, 255, 255), target.pixel(6, 6));  // nothing beyond the part
    EXPECT_EQ(0, CZntDialogBase::PasteBitmap(nullptr, source, 0, 0, 0, 0, 1, 1));
}

TEST(Controls, ScaleAndTheme)
{
    EXPECT_DOUBLE_EQ(1.0, CResScale::GetRatio());  // the offscreen screen has 96 dpi
    QImage source(153, 51, QImage::Format_RGB32);
    QImage scaled;
    EXPECT_EQ(1, CResScale(153, 51, 1).GetBitmap(nullptr, scaled, source, 0, 0));
    EXPECT_EQ(QSize(153, 51), scaled.size());
    EXPECT_EQ(0, CResScale(153, 51, 1).GetBitmap(nullptr, scaled, QImage(), 0, 0));
    QWidget window;
    EXPECT_EQ(1, CZntTheme::SetWindowTheme(&window, L"", L""));
    EXPECT_EQ(0, CZntTheme::SetWindowTheme(nullptr, L"", L""));
}
