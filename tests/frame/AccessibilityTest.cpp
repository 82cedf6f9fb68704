#include "support/zvncst/ZntDialog.h"
#include "tests/support/TempEnvironment.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QRegularExpression>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

QAccessible::Role expectedRole(const QWidget* w)
{
    if (w->inherits("QCheckBox"))
        return QAccessible::CheckBox;
    if (w->inherits("QAbstractButton"))
        return QAccessible::Button;
    if (w->inherits("QTreeView"))
        return QAccessible::Tree;
    if (w->inherits("QListView"))
        return QAccessible::List;
    return QAccessible::EditableText;
}

bool worked(const QWidget* w) { return w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus); }

}  // namespace

// What a screen reader and a keyboard user meet in every dialog built from its template: each
// control a person works has the role of its kind and a name without its mnemonic, Tab visits
// the controls in the template's order, and a label's mnemonic moves the focus to its control.
TEST(Accessibility, EveryDialogNamesItsControlsTabsInTemplateOrderAndFollowsItsMnemonics)
{
    TempEnvironment env;
    const QRegularExpression leftover(QStringLiteral("&|[(（][A-Z][)）]"));
    for (const int id : {16101, 16102, 16104, 16105, 16108, 16112, 16114, 16115}) {
        SCOPED_TRACE(id);
        CZntDialog dialog(id, nullptr);
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        QApplication::processEvents();
        QList<QWidget*> order;  // the controls a person works, as the template lists them
        QLabel* label = nullptr;
        for (QWidget* w : dialog.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (worked(w)) {
                order.append(w);
                QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
                const QString name = a->text(QAccessible::Name);
                EXPECT_EQ(expectedRole(w), a->role()) << w->metaObject()->className();
                EXPECT_FALSE(name.isEmpty()) << w->metaObject()->className() << " " << w->objectName().toStdString();
                EXPECT_FALSE(name.contains(leftover)) << name.toStdString();
                const int mark = label ? label->text().indexOf(u'&') : -1;
                if (mark >= 0) {
                    QTest::keyClick(&dialog, label->text().at(mark + 1).toLatin1(), Qt::AltModifier);
                    EXPECT_EQ(w, dialog.focusWidget()) << label->text().toStdString();
                }
            }
            label = qobject_cast<QLabel*>(w);
        }
        ASSERT_FALSE(order.isEmpty());
        order.first()->setFocus();
        for (qsizetype i = 1; i <= order.size(); ++i) {
            QTest::keyClick(dialog.focusWidget(), Qt::Key_Tab);
            EXPECT_EQ(order[i % order.size()], dialog.focusWidget()) << "Tab " << i;
        }
    }
}

// The words a screen reader says are the label's, without the mnemonic; a tree's hidden
// header says its label too, never a column number.
TEST(Accessibility, LabelledControlsAreNamedByTheirLabels)
{
    TempEnvironment env;
    const struct { int dialog, control; const char* name; } cases[] = {
        {16102, 1008, "名前："},     {16102, 1009, "説明："},        {16102, 1010, "フォルダ："},
        {16112, 1044, "パスワード："}, {16108, 2042, "星図の場所設定を公開"}, {16101, 1001, "フォルダの作成"},
        // read-only boxes no label names: by the template, and by the group they lie in
        {16101, 1041, "案内"},        {16101, 1005, "説明："},
    };
    for (const auto& c : cases) {
        CZntDialog dialog(c.dialog, nullptr);
        QWidget* control = dialog.GetDlgItem(c.control);
        ASSERT_NE(nullptr, control) << c.control;
        EXPECT_EQ(QString::fromUtf8(c.name), QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name));
        if (auto* tree = qobject_cast<QTreeWidget*>(control)) {
            EXPECT_EQ(QString::fromUtf8(c.name), tree->headerItem()->text(0));
        }
    }
}
