#include "platform/HostWindows.h"
#include "platform/ResourceChain.h"
#include "support/zvncst/ZntDialog.h"
#include "tests/frame/Frame.h"
#include "tests/support/WindowMessageRecorder.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

using namespace platform;

namespace {

// the share dialog's template, with members and handlers of its own
class ShareLikeDialog : public CZntDialog {
public:
    ShareLikeDialog() : CZntDialog(16108, nullptr) {}

    QString m_strComment;
    int m_bImage = 0;
    int settingsClicks = 0;

    void OnBnClickedSettings() { ++settingsClicks; }
    LRESULT OnCustom(WPARAM w, LPARAM l) { return static_cast<LRESULT>(w + l); }

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Text(pDX, 2040, m_strComment);
        DDX_Check(pDX, 2044, m_bImage);
    }
    const MessageMap& GetMessageMap() const override
    {
        static const MessageMap map = {
            MapCommand(BN_CLICKED, 3, &ShareLikeDialog::OnBnClickedSettings),
            MapMessage(WM_USER + 500, &ShareLikeDialog::OnCustom),
        };
        return map;
    }
};

// runs the dialog modally and, once it is up, does what a person would
int runWith(CZntDialog& dialog, const std::function<void()>& action)
{
    QTimer::singleShot(0, &dialog, action);
    return dialog.DoModal();
}

}  // namespace

TEST_F(FrameTest, DialogUnitsAreTheTemplateFontsAsWindowsMeasuresThem)
{
    // a base unit across is the 52 letters' average width, rounded
    for (int points : {8, 9, 11}) {
        const QFont font = CDialogUnits::TemplateFont("MS UI Gothic", points);
        const int letters = QFontMetrics(font).horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
        EXPECT_EQ(qRound(letters / 52.0), CDialogUnits(font).BaseX()) << points << " points";
    }
    const CDialogUnits units(6, 12);
    EXPECT_EQ(21, units.Y(14));
    EXPECT_EQ(11, units.X(7));    // 10.5 rounds up
    EXPECT_EQ(-11, units.X(-7));  // and away from zero below it
    EXPECT_EQ(QRect(11, 11, 10, 19), units.Rect(7, 7, 7, 13));  // each edge on its own: 10.5 and 30, 11 to 30
}

TEST_F(FrameTest, ControlsStandAtTheirConvertedPlacesWithKindsAndTexts)
{
    ShareLikeDialog share;
    const CDialogUnits& u = share.Units();
    EXPECT_EQ("共有", share.windowTitle());
    EXPECT_EQ(QSize(u.X(262), u.Y(192)), share.size());
    EXPECT_EQ(QRect(u.X(205), u.Y(7), u.X(255) - u.X(205), u.Y(21) - u.Y(7)), share.GetDlgItem(1)->geometry());
    EXPECT_EQ("星図の場所設定を公開(&P)", qobject_cast<QCheckBox*>(share.GetDlgItem(2042))->text());

    CZntDialog login(16112, nullptr);
    EXPECT_EQ("共有ログイン", login.windowTitle());
    EXPECT_EQ(QLineEdit::Password, qobject_cast<QLineEdit*>(login.GetDlgItem(1044))->echoMode());
    CZntDialog result(16115, nullptr);
    EXPECT_EQ("ゼントクラウドで共有しました。", result.findChildren<QLabel*>().at(1)->text());
    CZntDialog library(16104, nullptr);  // resizable: not held at one size
    EXPECT_NE(library.minimumSize(), library.maximumSize());
    EXPECT_EQ(result.minimumSize(), result.maximumSize());
    EXPECT_TRUE(CZntDialog(16103, nullptr).windowFlags() & Qt::FramelessWindowHint);  // no title bar
}

TEST_F(FrameTest, DialogsEndAsThePersonEndsThem)
{
    const struct {
        const char* how;
        std::function<void(ShareLikeDialog&)> act;
        int result;
    } rows[] = {
        {"Esc", [](ShareLikeDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); }, 2},
        {"Cancel", [](ShareLikeDialog& d) { qobject_cast<QPushButton*>(d.GetDlgItem(2))->click(); }, 2},
        {"close box", [](ShareLikeDialog& d) { d.close(); }, 2},
        {"OK", [](ShareLikeDialog& d) { qobject_cast<QPushButton*>(d.GetDlgItem(1))->click(); }, 1},
        {"Enter on the settings button, then on Cancel", [](ShareLikeDialog& d) {
             d.GetDlgItem(3)->setFocus();
             QTest::keyClick(&d, Qt::Key_Return);
             EXPECT_EQ(1, d.settingsClicks);
             d.GetDlgItem(2044)->setFocus();
             SendMessage(&d, WM_ZNTDIALOG, 0, 0);  // an edit keeps Enter
             QTest::keyClick(&d, Qt::Key_Return);
             EXPECT_TRUE(d.isVisible());
             SendMessage(&d, WM_ZNTDIALOG, 1, 0);
             d.GetDlgItem(2)->setFocus();
             QTest::keyClick(&d, Qt::Key_Return);
         }, 2},
        {"Enter, no button focused: the default", [](ShareLikeDialog& d) {
             d.GetDlgItem(2040)->clearFocus();
             QTest::keyClick(&d, Qt::Key_Return);
         }, 1},
    };
    for (const auto& row : rows) {
        ShareLikeDialog dialog;
        EXPECT_EQ(row.result, runWith(dialog, [&] { row.act(dialog); })) << row.how;
    }
}

TEST_F(FrameTest, HelpButtonSendsTheHelpCommandToTheMainWindow)
{
    QWidget mainWindow;
    SetMainWindow(&mainWindow);
    WindowMessageRecorder recorder;
    ShareLikeDialog dialog;
    qobject_cast<QPushButton*>(dialog.GetDlgItem(57670))->click();
    const auto sent = recorder.Sent(WM_COMMAND);
    ASSERT_EQ(1, sent.size());
    EXPECT_EQ(&mainWindow, sent[0].target);
    EXPECT_EQ(57670u, sent[0].wParam);
    SetMainWindow(nullptr);
}

TEST_F(FrameTest, MessageMapAndDataExchangeReachTheDialogsMembers)
{
    ShareLikeDialog dialog;
    qobject_cast<QPushButton*>(dialog.GetDlgItem(3))->click();
    SendMessage(&dialog, WM_COMMAND, 3, 0);  // MAKEWPARAM(3, BN_CLICKED): the same click
    EXPECT_EQ(2, dialog.settingsClicks);
    EXPECT_EQ(28, SendMessage(&dialog, WM_USER + 500, 7, 21));
    EXPECT_EQ(0, SendMessage(&dialog, WM_USER + 501, 7, 21));  // not in the map
    qobject_cast<QTextEdit*>(dialog.GetDlgItem(2040))->setPlainText("オリオン座\nベテルギウス");
    qobject_cast<QCheckBox*>(dialog.GetDlgItem(2044))->setChecked(true);
    dialog.UpdateData(true);
    EXPECT_EQ("オリオン座\nベテルギウス", dialog.m_strComment);
    EXPECT_EQ(1, dialog.m_bImage);
}

TEST_F(FrameTest, ControlsAnswerTheStandardMessages)
{
    CZntDialog dialog(16114, nullptr);
    auto* icon = qobject_cast<QLabel*>(dialog.GetDlgItem(-1));
    EXPECT_TRUE(icon->pixmap().isNull());  // a blank icon until its dialog gives it one
    const QImage information = LoadIcon(IDI_INFORMATION);
    SendMessage(icon, STM_SETICON, reinterpret_cast<WPARAM>(&information), 0);
    EXPECT_EQ(QSize(32, 32), icon->pixmap().size());
    const QImage picture(60, 40, QImage::Format_RGB32);
    SendMessage(icon, STM_SETIMAGE, 0, reinterpret_cast<LPARAM>(&picture));
    EXPECT_EQ(QSize(60, 40), icon->size());  // a picture takes its image's size
    auto* settings = qobject_cast<QPushButton*>(dialog.GetDlgItem(1));
    SendMessage(settings, BM_SETSTYLE, BS_PUSHBUTTON, 1);
    EXPECT_FALSE(settings->isDefault());
}

TEST_F(FrameTest, OnlyTheUsersSelectionNotifies)
{
    struct ListDialog : CZntDialog {
        ListDialog() : CZntDialog(16103, nullptr) {}
        int changes = 0;
        void OnSelchange() { ++changes; }
        const MessageMap& GetMessageMap() const override
        {
            static const MessageMap map = {MapCommand(LBN_SELCHANGE, 1015, &ListDialog::OnSelchange)};
            return map;
        }
    } dialog;
    dialog.show();
    auto* list = qobject_cast<QListWidget*>(dialog.GetDlgItem(1015));
    list->addItems({"a", "b", "c"});
    list->setCurrentRow(1);  // code: no notification
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(2)).center());
    QTest::keyClick(list, Qt::Key_Up);
    EXPECT_EQ(2, dialog.changes);
    EXPECT_EQ(1, list->currentRow());
}
