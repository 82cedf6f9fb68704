#pragma once
// The program dialog over an installation's program lists.
#include "platform/HostWindows.h"
#include "program/DlgProgram.h"
#include "tests/program/ListFiles.h"
#include "tests/support/ScriptedHost.h"
#include "tests/support/TempEnvironment.h"

#include <QApplication>
#include <QListWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using listfiles::header;
using listfiles::section;

// the host's main window: keeps the texts of message 2045 while they live
class MainWindow : public QWidget {
public:
    QStringList missingKinds;

protected:
    bool event(QEvent* e) override
    {
        if (e->type() != platform::WindowMessageEvent::eventType())
            return QWidget::event(e);
        const auto* m = static_cast<platform::WindowMessageEvent*>(e);
        if (m->message() == 2045)
            missingKinds << *reinterpret_cast<const QString*>(m->wParam()) << *reinterpret_cast<const QString*>(m->lParam());
        return true;
    }
};

// an installation: the system's Today, program (its scene there), background video and guide, then the user's programs
struct ProgramLists {
    TempEnvironment env;
    QString system = env.Path("data/System/zvnprg.lst");
    QString user = env.Path("data/Contents/Prg/zvnprg.lst");
    MainWindow main;
    ScriptedHost host;

    explicit ProgramLists(int userPrograms = 2)
    {
        TempEnvironment::WriteBytes(system, header("1.0", "ZentorinLite", 4) + section(1, "Today", QString::fromUtf8("今日の星空"), "pln.zsf")
                                                + section(2, "Program", QString::fromUtf8("冬の大三角"), "winter.zsf", 1500)
                                                + section(3, "BGV", "Piano", "piano.zsf") + section(4, "CnsGuide", "Guide", "oric.zsf"));
        TempEnvironment::WriteBytes(env.Path("data/PRG/winter/winter.zsf"), "scene");
        QByteArray users = header("1.0", "ZentorinLite", userPrograms);
        for (int n = 1; n <= userPrograms; ++n) {
            users += section(n, "Program", QString("User %1").arg(n), QString("user%1.zsf").arg(n), 60 * n);
            TempEnvironment::WriteBytes(env.Path(QString("data/Contents/Prg/user%1/user%1.zsf").arg(n)), "scene");
        }
        if (userPrograms > 0)
            TempEnvironment::WriteBytes(user, users);
        host.Answer("? LST(time)", "LST AD2026/1/15 03:42:17");
        platform::SetMainWindow(&main);
    }
    ~ProgramLists() { platform::SetMainWindow(nullptr); }
};

inline QListWidget* listOf(CDlgProgram& dialog) { return qobject_cast<QListWidget*>(dialog.GetDlgItem(1015)); }

// shows the dialog and runs the action in it once its entries are laid out; the action ends it, or cancel does
inline int run(CDlgProgram& dialog, const std::function<void()>& action, bool cancel = false)
{
    QTimer::singleShot(0, &dialog, [&] {
        QApplication::processEvents();
        action();
        if (cancel)
            dialog.OnCancel();
    });
    // a dialog the action failed to end ends the test, not the run
    QTimer::singleShot(20000, &dialog, [&] { ADD_FAILURE() << "the dialog did not end"; dialog.EndDialog(-1); });
    return dialog.DoModal();
}

// the user clicks an entry: only that notifies the dialog of a new selection
inline void clickEntry(QListWidget* list, int row)
{
    list->scrollToItem(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
}
