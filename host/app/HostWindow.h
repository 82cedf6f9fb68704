#pragma once
// The reference host's main window: the star chart, a menu offering the
// module's five features, and the answers to the module's window messages.
#include "host/app/DataFolders.h"

#include <QMainWindow>
#include <functional>
#include <memory>
#include <vector>

class CDlgAddFavorites;
class CDlgCloudLogin;
class CDlgContentsLibrary;
class CDlgFavorites;
class CDlgCloudUpload;
class CDlgProgram;
class CSimulatedCore;
class CTour;
class QAction;
class QLabel;
class QMenu;

class CHostWindow : public QMainWindow {
    Q_OBJECT
public:
    CHostWindow(CSimulatedCore& core, const CDataFolders& folders, QWidget* parent = nullptr);
    ~CHostWindow() override;

    struct Feature {
        QString key;      // for --tour: program, library, login, share, favorites
        QString title;    // the menu entry
        std::function<void()> run;         // empty until the feature is built
        std::function<void(CTour&)> tour;  // the same, driven by the tour's fixed inputs
        QAction* action = nullptr;
    };
    const std::vector<Feature>& Features() const { return m_features; }
    // runs a feature as its menu entry would; false when it is not available
    bool RunFeature(const QString& key);

    // the program dialog over the host's two lists; `whileOpen` acts in it once it is up
    int OpenProgramDialog(const std::function<void(CDlgProgram&)>& whileOpen = {});
    QString ChosenProgram() const;  // what the window shows of the last program opened

    // the content library over the host's install root; a pick in its page starts the download
    int OpenLibrary(const std::function<void(CDlgContentsLibrary&)>& whileOpen = {});

    // the token check, then the sign-in dialog when the tokens do not hold; the
    // account (and its connection) stays with the window for sharing
    int SignIn(const std::function<void(CDlgCloudLogin&)>& whileOpen = {});
    CDlgCloudLogin* Account() const { return m_account.get(); }
    // sharing: signed in first, then the share dialog over the account's connection
    int Share(const std::function<void(CDlgCloudUpload&)>& whileOpen = {},
              const std::function<void(CDlgCloudLogin&)>& whileSigningIn = {});

    // the add-to-favourites dialog, then the core saves the scene; the scene file on OK, else empty
    QString AddFavorite(const std::function<void(CDlgAddFavorites&)>& whileOpen = {});
    int OrganizeFavorites(const std::function<void(CDlgFavorites&)>& whileOpen = {});
    bool OpenFavorite(const QString& scene);  // the core loads the scene and shows its sky
    QMenu* FavoritesMenu() const { return m_pFavorites; }

    CSimulatedCore& Core() { return m_core; }
    const CDataFolders& Folders() const { return m_folders; }
    QString HelpDocument() const;

signals:
    void programListChanged();

protected:
    bool event(QEvent* e) override;

private:
    void buildMenus();
    void command(const QString& text);
    void tourProgram(CTour& tour);
    void tourSignIn(CTour& tour);
    void tourLibrary(CTour& tour);
    void tourFavorites(CTour& tour);
    void fillFavoritesMenu(QMenu* menu, const QString& folder);
    void tourShare(CTour& tour);
    QString saveScene();  // the current view as a scene file in the temporary folder

    CSimulatedCore& m_core;
    CDataFolders m_folders;
    std::vector<Feature> m_features;
    int m_nProgNum = -1;  // the program dialog opens where it was left
    int m_nScrlPos = -1;
    QLabel* m_pProgram = nullptr;
    std::unique_ptr<CDlgCloudLogin> m_account;
    QMenu* m_pFavorites = nullptr;
};
