#include "support/zvncst/FolderBrowser.h"

#include "support/zvncst/ZntTreeCtrlEx.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

CFolderBrowser::Handler& handler()
{
    static CFolderBrowser::Handler h;
    return h;
}

}  // namespace

CFolderBrowser::Handler CFolderBrowser::SetHandler(Handler h)
{
    Handler previous = std::move(handler());
    handler() = std::move(h);
    return previous;
}

QString CFolderBrowser::BrowseForFolder(QWidget* owner, const QString& root, const QString& start, const QString& title,
                                        unsigned flags)
{
    if (handler())
        return handler()(owner, root, start, title, flags);
    return ShowWindow(owner, root, start, title);
}

QString CFolderBrowser::ShowWindow(QWidget* owner, const QString& root, const QString& start, const QString& title,
                                   const std::function<void(QWidget& window)>& whileOpen)
{
    QDialog window(owner);
    window.setWindowTitle(QStringLiteral("フォルダの参照"));
    auto* layout = new QVBoxLayout(&window);
    auto* prompt = new QLabel(title, &window);
    prompt->setWordWrap(true);
    layout->addWidget(prompt);
    auto* tree = new QTreeWidget(&window);
    tree->setHeaderHidden(true);
    layout->addWidget(tree);
    auto* buttons = new QDialogButtonBox(&window);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &window, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &window, &QDialog::reject);
    window.resize(320, 360);

    // the same tree as the favourites show, folders only
    CZntTreeCtrlEx folders;
    folders.Init(QString());
    folders.AttachTree(tree);
    folders.SetDirectory(root);
    // the root it is given is the favourites folder, shown by the name the favourites tree gives it
    folders.SetItemText(folders.GetRootItem(), QStringLiteral("お気に入り"));
    QString first = start;
    while (first.size() > 1 && first.endsWith(u'/'))
        first.chop(1);
    folders.SelectItem(folders.FindItem(first) ? folders.FindItem(first) : folders.GetRootItem());
    QObject::connect(tree, &QTreeWidget::currentItemChanged, &window, [&](QTreeWidgetItem* item) {
        buttons->buttons().first()->setEnabled(item != nullptr);
    });
    if (whileOpen)
        QTimer::singleShot(0, &window, [&] { whileOpen(window); });
    if (window.exec() != QDialog::Accepted)
        return {};
    return folders.GetFullPathNameW(folders.GetSelectedItem());
}
