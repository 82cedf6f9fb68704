#include "frame/Module.h"
#include "platform/HostWindows.h"
#include "platform/MessageBox.h"
#include "platform/ResourceChain.h"

#include <QAbstractButton>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace platform;

TEST(Resources, ModuleResourcesAreFoundOnlyWhileAttached)
{
    ASSERT_TRUE(IsModuleAttached());  // loading the library attached it
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ("番組リストファイルの形式が不正です。", LoadString(16005));
        EXPECT_NE(nullptr, FindDialogTemplate(16108));
        EXPECT_FALSE(LoadBitmap(16045).isNull());
        if (round == 0)
            DetachModule();
        EXPECT_EQ(round == 0 ? "" : "番組リストファイルの形式が不正です。", LoadString(16005));
        EXPECT_EQ(round == 0, LoadBitmap(16045).isNull());
        EXPECT_FALSE(LoadBitmap(8014).isNull());  // the controls library's own resources stay in the chain
        if (round == 0)
            AttachModule();
    }
}

TEST(Resources, TextsAreTheTablesOwnAndBoxesSpeakJapanese)
{
    // "\n" in the table is a line feed; a backslash in a section name is itself
    EXPECT_EQ("次の番組ファイルを削除します。\n\n\u3000「%1」", LoadString(16007));
    EXPECT_EQ("General\\Authentication", LoadString(16021));
    // the box the seam would show, as built (loading the library put Qt's Japanese texts in)
    const auto box = BuildMessageBox(nullptr, "x", MB_YESNOCANCEL);
    QStringList texts;
    for (QAbstractButton* button : box->buttons())
        texts << button->text();
    texts.sort();
    EXPECT_EQ("いいえ(&N)|はい(&Y)|キャンセル", texts.join(u'|'));
}

TEST(Resources, ABoxCarriesTheHostsNameTheAskedIconAndItsWindowsKeys)
{
    // the name the host registered, not whatever Qt was told to display
    const QString displayed = QGuiApplication::applicationDisplayName();
    QGuiApplication::setApplicationDisplayName("Qt の表示名");
    SetApplicationName("星空ホスト");
    struct Row {
        unsigned style;
        QMessageBox::Icon icon;
        QMessageBox::StandardButton enter, escape;
    };
    const Row rows[] = {
        {MB_OK | MB_ICONEXCLAMATION, QMessageBox::Warning, QMessageBox::Ok, QMessageBox::Ok},
        {MB_OKCANCEL | MB_ICONQUESTION, QMessageBox::Question, QMessageBox::Ok, QMessageBox::Cancel},
        {MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2, QMessageBox::Question, QMessageBox::Cancel,
         QMessageBox::Cancel},
        {MB_YESNOCANCEL | MB_ICONHAND | MB_DEFBUTTON3, QMessageBox::Critical, QMessageBox::Cancel,
         QMessageBox::Cancel},
        {MB_OK | MB_ICONASTERISK, QMessageBox::Information, QMessageBox::Ok, QMessageBox::Ok},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.style);
        const auto box = BuildMessageBox(nullptr, "x", row.style);
        EXPECT_EQ("星空ホスト", box->windowTitle());
        EXPECT_EQ(row.icon, box->icon());
        EXPECT_EQ(row.enter, box->standardButton(box->defaultButton()));
        EXPECT_EQ(row.escape, box->escapeButton() ? box->standardButton(box->escapeButton())
                                                  : QMessageBox::NoButton);
        // closed by its window's close button it answers as Esc does; a button answers its own id
        EXPECT_EQ(row.escape == QMessageBox::Cancel ? IDCANCEL : IDOK, AnswerOf(*box, row.style));
        box->defaultButton()->click();
        EXPECT_EQ(row.enter == QMessageBox::Cancel ? IDCANCEL : IDOK, AnswerOf(*box, row.style));
    }
    SetApplicationName({});
    QGuiApplication::setApplicationDisplayName(displayed);
}
