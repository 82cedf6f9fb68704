#pragma once
// Choosing a folder under a root: a small modal window with the root's
// folder tree. Nothing above the root can be chosen.
#include <QString>
#include <functional>

class QWidget;

class CFolderBrowser {
public:
    // The chosen folder, or empty text when the user cancels. `flags` are
    // the platform's browse flags; the window shows `title` above the tree.
    static QString BrowseForFolder(QWidget* owner, const QString& root, const QString& start, const QString& title,
                                   unsigned flags);

    using Handler = std::function<QString(QWidget* owner, const QString& root, const QString& start,
                                          const QString& title, unsigned flags)>;
    // Stands another chooser in (tests, the tour); an empty one restores the window. Returns the previous one.
    static Handler SetHandler(Handler handler);
    // The window itself, which a handler may show.
    static QString ShowWindow(QWidget* owner, const QString& root, const QString& start, const QString& title,
                              const std::function<void(QWidget& window)>& whileOpen = {});
};
