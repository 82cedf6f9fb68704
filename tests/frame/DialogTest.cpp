#include "frame/Module.h"
#include "platform/HostWindows.h"
#include "platform/ResourceChain.h"
#include "support/zvncst/ZntDialog.h"
#include "support/zvnreg/Registry.h"
#include "tests/support/TempEnvironment.h"
#include "tests/support/WindowMessageRecorder.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// the share dialog's template, with a few members and handlers of its own
class ShareLikeDialog : public CZntDialog {
public:
    explicit ShareLikeDialog(QWidget* parent = nullptr) : CZntDialog(16108, parent) {}

    QString m_strComment = "initial comment";
    int m_bLocation = 1;
    int m_bImage = 0;
    int settingsClicks = 0;
    int initCalls = 0;
    bool endInInit = false;
    platform::WPARAM lastW = 0;

    void OnBnClickedSettings() { ++settingsClicks; }
    platform::LRESULT OnCustom(platform::WPARAM w, platform::LPARAM l)
    {
        lastW = w;
        return static_cast<platform::LRESULT>(l * 2);
    }

    int OnInitDialog() override
    {
        ++initCalls;
        CZntDialog::OnInitDialog();
        if (endInInit)
            EndDialog(2);
        return 1;
    }

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        CZntDialog::DoDataExchange(pDX);
        DDX_Text(pDX, 2040, m_strComment);
        DDX_Check(pDX, 2042, m_bLocation);
        DDX_Check(pDX, 2044, m_bImage);
    }
    const MessageMap& GetMessageMap() const override
    {
        static const MessageMap map = {
            MapCommand(BN_CLICKED, 3, &ShareLikeDialog::OnBnClickedSettings),
            MapMessage(platform::WM_USER + 500, &ShareLikeDialog::OnCustom),
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

TEST(DialogUnits, ConvertAsWindowsDoesWithRounding)
{
    const CDialogUnits units(6, 12);  // the base units of MS UI Gothic 9 pt
    EXPECT_EQ(75, units.X(50));
    EXPECT_EQ(21, units.Y(14));
    EXPECT_EQ(11, units.X(7));   // 10.5 rounds up
    EXPECT_EQ(11, units.Y(7));
    EXPECT_EQ(-11, units.X(-7)); // and away from zero below it
    // edges convert on their own: a width is the difference of two converted edges
    EXPECT_EQ(QRect(11, 11, 10, 19), units.Rect(7, 7, 7, 13));  // 10.5 and 30: 11 to 30
    const CDialogUnits other(7, 13);
    EXPECT_EQ(QRect(359, 11, 87, 23), other.Rect(205, 7, 50, 14));
}

TEST(DialogTemplate, ControlsStandAtTheirConvertedPlacesWithIdsKindsAndTexts)
{
    ShareLikeDialog share;
    const CDialogUnits& u = share.Units();
    EXPECT_GE(u.BaseX(), 5);
    EXPECT_GE(u.BaseY(), 11);
    EXPECT_EQ(QString::fromUtf8("共有"), share.windowTitle());
    EXPECT_EQ(QSize(u.X(262), u.Y(192)), share.size());
    auto* ok = qobject_cast<QPushButton*>(share.GetDlgItem(1));
    ASSERT_NE(nullptr, ok);
    EXPECT_EQ("OK", ok->text());
    EXPECT_EQ(u.Rect(205, 7, 50, 14), ok->geometry());
    auto* image = qobject_cast<QCheckBox*>(share.GetDlgItem(2044));
    ASSERT_NE(nullptr, image);
    EXPECT_EQ(QString::fromUtf8("星図に貼り付けた画像を公開(&I)"), image->text());
    EXPECT_EQ(u.Rect(151, 171, 97, 10), image->geometry());
    EXPECT_NE(nullptr, qobject_cast<QTextEdit*>(share.GetDlgItem(2040)));
    EXPECT_NE(nullptr, qobject_cast<QGroupBox*>(share.GetDlgItem(1064)));
    EXPECT_EQ(nullptr, share.GetDlgItem(9999));

    CZntDialog login(16112, nullptr);
    auto* password = qobject_cast<QLineEdit*>(login.GetDlgItem(1044));
    ASSERT_NE(nullptr, password);
    EXPECT_EQ(QLineEdit::Password, password->echoMode());
    EXPECT_EQ(QString::fromUtf8("ユーザー登録(&R)..."), login.GetDlgItemText(2045));

    CZntDialog progress(16105, nullptr);
    EXPECT_NE(nullptr, qobject_cast<QProgressBar*>(progress.GetDlgItem(1022)));
    EXPECT_EQ(QString::fromUtf8("確認のメッセージ"), progress.GetDlgItemText(1021));

    CZntDialog library(16104, nullptr);  // resizable: not held at one size
    EXPECT_NE(library.minimumSize(), library.maximumSize());
    EXPECT_EQ(progress.minimumSize(), progress.maximumSize());
    CZntDialog program(16103, nullptr);  // no title bar
    EXPECT_TRUE(program.windowFlags() & Qt::FramelessWindowHint);
}

TEST(DialogBehaviour, EscAndCancelEndWithTwoOkWithOne)
{
    ShareLikeDialog byEsc;
    EXPECT_EQ(2, runWith(byEsc, [&] { QTest::keyClick(&byEsc, Qt::Key_Escape); }));
    ShareLikeDialog byCancel;
    EXPECT_EQ(2, runWith(byCancel, [&] { qobject_cast<QPushButton*>(byCancel.GetDlgItem(2))->click(); }));
    ShareLikeDialog byClose;
    EXPECT_EQ(2, runWith(byClose, [&] { byClose.close(); }));
    ShareLikeDialog byOk;
    EXPECT_EQ(1, runWith(byOk, [&] { qobject_cast<QPushButton*>(byOk.GetDlgItem(1))->click(); }));
    ShareLikeDialog byEnter;
    EXPECT_EQ(1, runWith(byEnter, [&] {
        byEnter.GetDlgItem(2040)->clearFocus();
        QTest::keyClick(&byEnter, Qt::Key_Return);
    }));
    EXPECT_EQ(1, byEnter.initCalls);
}

TEST(DialogBehaviour, EnterPressesTheFocusedButtonUnlessAnEditClaimedIt)
{
    ShareLikeDialog dialog;
    EXPECT_EQ(2, runWith(dialog, [&] {
        dialog.GetDlgItem(3)->setFocus();
        QTest::keyClick(&dialog, Qt::Key_Return);  // the settings button, not OK
        EXPECT_EQ(1, dialog.settingsClicks);
        EXPECT_TRUE(dialog.isVisible());
        dialog.GetDlgItem(2042)->setFocus();
        platform::SendMessage(&dialog, WM_ZNTDIALOG, 0, 0);  // an edit wants Enter
        QTest::keyClick(&dialog, Qt::Key_Return);
        EXPECT_TRUE(dialog.isVisible());
        platform::SendMessage(&dialog, WM_ZNTDIALOG, 1, 0);
        dialog.GetDlgItem(2)->setFocus();
        QTest::keyClick(&dialog, Qt::Key_Return);  // Cancel has the focus
    }));
}

TEST(DialogBehaviour, HelpButtonSendsTheHelpCommandToTheMainWindow)
{
    QWidget mainWindow;
    platform::SetMainWindow(&mainWindow);
    WindowMessageRecorder recorder;
    ShareLikeDialog dialog;
    qobject_cast<QPushButton*>(dialog.GetDlgItem(57670))->click();
    const auto sent = recorder.Sent(platform::WM_COMMAND);
    ASSERT_EQ(1, sent.size());
    EXPECT_EQ(&mainWindow, sent[0].target);
    EXPECT_EQ(57670u, sent[0].wParam);
    EXPECT_EQ(0, sent[0].lParam);
    platform::SetMainWindow(nullptr);
}

TEST(DialogBehaviour, MessageMapBindsNotificationsAndWindowMessages)
{
    ShareLikeDialog dialog;
    qobject_cast<QPushButton*>(dialog.GetDlgItem(3))->click();
    EXPECT_EQ(1, dialog.settingsClicks);
    // a WM_COMMAND carrying MAKEWPARAM(id, BN_CLICKED) is the same click
    platform::SendMessage(&dialog, platform::WM_COMMAND, 3, 0);
    EXPECT_EQ(2, dialog.settingsClicks);
    EXPECT_EQ(42, platform::SendMessage(&dialog, platform::WM_USER + 500, 7, 21));
    EXPECT_EQ(7u, dialog.lastW);
    EXPECT_EQ(0, platform::SendMessage(&dialog, platform::WM_USER + 501, 7, 21));  // not in the map
}

TEST(DialogBehaviour, UpdateDataMovesTextsAndChecksBothWays)
{
    ShareLikeDialog dialog;
    dialog.m_strComment = QString::fromUtf8("オリオン座\nベテルギウス");
    dialog.m_bLocation = 1;
    dialog.m_bImage = 0;
    dialog.UpdateData(false);
    EXPECT_EQ(QString::fromUtf8("オリオン座\nベテルギウス"), qobject_cast<QTextEdit*>(dialog.GetDlgItem(2040))->toPlainText());
    EXPECT_TRUE(qobject_cast<QCheckBox*>(dialog.GetDlgItem(2042))->isChecked());
    EXPECT_FALSE(qobject_cast<QCheckBox*>(dialog.GetDlgItem(2044))->isChecked());

    qobject_cast<QTextEdit*>(dialog.GetDlgItem(2040))->setPlainText("edited");
    qobject_cast<QCheckBox*>(dialog.GetDlgItem(2042))->setChecked(false);
    qobject_cast<QCheckBox*>(dialog.GetDlgItem(2044))->setChecked(true);
    dialog.UpdateData(true);
    EXPECT_EQ("edited", dialog.m_strComment);
    EXPECT_EQ(0, dialog.m_bLocation);
    EXPECT_EQ(1, dialog.m_bImage);
}

TEST(DialogBehaviour, ADialogThatEndsWhileSettingUpIsNeverShown)
{
    ShareLikeDialog dialog;
    dialog.endInInit = true;
    EXPECT_EQ(2, dialog.DoModal());  // returns at once, without an event loop waiting on it
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(1, dialog.initCalls);
}

TEST(DialogBase, SectionHostAndPlainStyle)
{
    TempEnvironment env;
    CZntDialog skinned(16115, nullptr);
    EXPECT_EQ(0, skinned.m_bPlainStyle);
    EXPECT_FALSE(skinned.styleSheet().isEmpty());
    EXPECT_EQ(nullptr, skinned.m_pCorZnt);
    skinned.LoadSettingsSection(16055);
    EXPECT_EQ("Dialog\\Program", skinned.m_strSection);

    CRegistry::Write("General\\Display", "PlainStyle", 1);
    CZntDialog plain(16115, nullptr);
    EXPECT_EQ(1, plain.m_bPlainStyle);
    EXPECT_TRUE(plain.styleSheet().isEmpty());
}

TEST(DialogLifeCycle, EachDoModalAndEachCreateMakesTheWindowAnew)
{
    QWidget parent;  // outlives the dialog, as a host's window does
    ShareLikeDialog dialog;
    EXPECT_EQ(2, runWith(dialog, [&] {
        dialog.GetDlgItem(3)->hide();  // what the first window's user or code did to it
        dialog.OnCancel();
    }));
    EXPECT_EQ(2, runWith(dialog, [&] {
        EXPECT_TRUE(dialog.GetDlgItem(3)->isVisible());  // a new window, as the template has it
        dialog.OnCancel();
    }));
    EXPECT_EQ(2, dialog.initCalls);

    ASSERT_EQ(1, dialog.Create(&parent));  // modeless: shown at once, and the caller goes on
    EXPECT_EQ(3, dialog.initCalls);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(&parent, dialog.parentWidget());
    dialog.DestroyWindow();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(nullptr, dialog.GetDlgItem(3));  // the window went, the object stays
    ASSERT_EQ(1, dialog.Create(&parent));
    EXPECT_EQ(4, dialog.initCalls);
    EXPECT_NE(nullptr, dialog.GetDlgItem(3));
    dialog.DestroyWindow();
}

TEST(DialogLifeCycle, EnterGoesToTheTemplatesDefaultButton)
{
    CZntDialog done(16115, nullptr);  // no control 1 here: its default button is 2
    EXPECT_EQ(2, runWith(done, [&] {
        if (QWidget* focus = done.focusWidget())
            focus->clearFocus();
        QTest::keyClick(&done, Qt::Key_Return);
        if (done.isVisible())
            done.EndDialog(99);
    }));
}

TEST(DialogLifeCycle, AFixedDialogCanBeSizedByItsOwnCode)
{
    ShareLikeDialog dialog;
    const QSize size = dialog.size();
    dialog.SetClientSize(size.width() + 40, size.height() - 20);
    EXPECT_EQ(QSize(size.width() + 40, size.height() - 20), dialog.size());
    dialog.MoveWindow(10, 20, size.width(), size.height());
    EXPECT_EQ(QRect(10, 20, size.width(), size.height()), dialog.geometry());
}

TEST(DialogLifeCycle, ControlsAnswerTheStandardMessages)
{
    CZntDialog dialog(16114, nullptr);
    dialog.show();
    auto* icon = qobject_cast<QLabel*>(dialog.GetDlgItem(-1));
    ASSERT_NE(nullptr, icon);
    EXPECT_TRUE(icon->pixmap().isNull());  // a blank icon until its dialog gives it one
    const QImage information = platform::LoadIcon(platform::IDI_INFORMATION);
    ASSERT_FALSE(information.isNull());
    platform::SendMessage(icon, platform::STM_SETICON, reinterpret_cast<platform::WPARAM>(&information), 0);
    EXPECT_EQ(information.size(), icon->pixmap().size());
    auto* settings = qobject_cast<QPushButton*>(dialog.GetDlgItem(1));
    platform::SendMessage(settings, platform::BM_SETSTYLE, platform::BS_PUSHBUTTON, 1);
    EXPECT_FALSE(settings->isDefault());
    dialog.hide();
}

TEST(DialogLifeCycle, OnlyTheUsersSelectionNotifies)
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
    EXPECT_EQ(0, dialog.changes);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(2)).center());
    EXPECT_EQ(1, dialog.changes);
    QTest::keyClick(list, Qt::Key_Up);
    EXPECT_EQ(2, dialog.changes);
    EXPECT_EQ(1, list->currentRow());
    dialog.hide();
}
