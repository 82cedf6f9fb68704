#include "program/DlgProgram.h"
#include "support/zvncst/ZntScrollBar.h"
#include "tests/program/ListFiles.h"
#include "tests/support/ScriptedHost.h"
#include "tests/support/TempEnvironment.h"

#include <QAccessible>
#include <QApplication>
#include <QListWidget>
#include <gtest/gtest.h>

// The program dialog shows its title, its buttons and its entries' details as pictures and
// drawings: a screen reader hears the words drawn there, and the flat scroll bar as a scroll
// bar whose position it can read and set.
TEST(ProgramAccessibility, TheDialogItsPictureButtonsEntriesAndScrollBarSpeak)
{
    TempEnvironment env;
    const QString system = env.Path("data/System/zvnprg.lst");
    QByteArray list = listfiles::header("1.0", "ZentorinLite", 8);
    for (int n = 1; n <= 8; ++n)
        list += listfiles::section(n, "Program", QString("番組%1").arg(n), QString("p%1.zsf").arg(n), 307);
    ASSERT_TRUE(TempEnvironment::WriteBytes(system, list));
    ScriptedHost host;
    CDlgProgram dialog(system, env.Path("data/Contents/Prg/zvnprg.lst"), &host, nullptr);
    dialog.show();
    QApplication::processEvents();

    const auto spoken = [](QObject* o, QAccessible::Text t = QAccessible::Name) {
        return QAccessible::queryAccessibleInterface(o)->text(t);
    };
    EXPECT_EQ("プラネタリウム番組", spoken(&dialog));
    const struct { int id; const char* name; } buttons[] = {{1018, "開く"}, {1019, "閉じる"}, {1020, "削除"}, {57670, "ヘルプ"}};
    for (const auto& b : buttons)
        EXPECT_EQ(QString::fromUtf8(b.name), spoken(dialog.GetDlgItem(b.id))) << b.id;

    QAccessibleInterface* entries = QAccessible::queryAccessibleInterface(dialog.GetDlgItem(1015));
    ASSERT_EQ(8, entries->childCount());
    EXPECT_EQ("番組2", entries->child(1)->text(QAccessible::Name));
    EXPECT_EQ("上映時間：05分07秒\nシナリオ・ナレーション：", entries->child(1)->text(QAccessible::Description));

    auto* bar = dialog.GetDlgItem(1015)->findChild<CZntFlatScrollBar*>();
    ASSERT_NE(nullptr, bar);
    QAccessibleInterface* scroll = QAccessible::queryAccessibleInterface(bar);
    EXPECT_EQ(QAccessible::ScrollBar, scroll->role());
    EXPECT_EQ("プラネタリウム番組", scroll->text(QAccessible::Name));
    QAccessibleValueInterface* value = scroll->valueInterface();
    ASSERT_NE(nullptr, value);
    EXPECT_EQ(0, value->currentValue().toInt());
    EXPECT_EQ(2, value->maximumValue().toInt());  // eight entries, six seen at once
    value->setCurrentValue(2);                    // as a screen reader moves it: the list follows
    EXPECT_EQ(2, value->currentValue().toInt());
    EXPECT_EQ(2, qobject_cast<QListWidget*>(dialog.GetDlgItem(1015))->indexAt(QPoint(5, 5)).row());
}
