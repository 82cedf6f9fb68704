#pragma once
// The product's dialog base: a dialog built from a template of the resource
// chain, with its controls placed in dialog units, a message map that binds
// control notifications and window messages to handlers, and the Windows
// dialog conventions (OK 1, Cancel 2, Esc is Cancel, help 57670).
#include "platform/DialogTemplate.h"
#include "platform/WindowMessage.h"
#include "support/zvncst/DataExchange.h"
#include "support/zvncst/DialogUnits.h"
#include "support/zvncst/ZntDialogBase.h"
#include "support/zvncst/ZntListBox.h"

#include <QDialog>
#include <QHash>
#include <functional>
#include <vector>

class CZntDialog;

// notification codes, as Windows numbers them
enum : int {
    BN_CLICKED = 0,
    LBN_SELCHANGE = 1,
    LBN_DBLCLK = 2,
    EN_SETFOCUS = 0x0100,
    EN_KILLFOCUS = 0x0200,
    EN_CHANGE = 0x0300,
    NM_DBLCLK = -3,
    TVN_SELCHANGED = -402,
};

enum : int { IDC_HELP_COMMAND = 57670 };
constexpr unsigned WM_ZNTDIALOG = platform::WM_USER + 1;  // 1025: wParam 0 keeps Enter for the focused edit, 1 gives it back

struct MessageMapEntry {
    enum Kind { Command, Message } kind;
    int code;          // notification (Command)
    int id;            // control (Command)
    unsigned message;  // window message (Message)
    std::function<platform::LRESULT(CZntDialog&, platform::WPARAM, platform::LPARAM)> call;
};
using MessageMap = std::vector<MessageMapEntry>;

// a control notification bound to a handler `void Handler()`
template <class D>
MessageMapEntry MapCommand(int code, int id, void (D::*handler)())
{
    return {MessageMapEntry::Command, code, id, 0,
            [handler](CZntDialog& d, platform::WPARAM, platform::LPARAM) {
                (static_cast<D&>(d).*handler)();
                return platform::LRESULT(0);
            }};
}

// a window message bound to a handler `LRESULT Handler(WPARAM, LPARAM)`
template <class D>
MessageMapEntry MapMessage(unsigned message, platform::LRESULT (D::*handler)(platform::WPARAM, platform::LPARAM))
{
    return {MessageMapEntry::Message, 0, 0, message,
            [handler](CZntDialog& d, platform::WPARAM w, platform::LPARAM l) { return (static_cast<D&>(d).*handler)(w, l); }};
}

class CZntDialog : public QDialog, public CZntDialogBase {
    Q_OBJECT
public:
    // Builds the template's controls at once, so the layout can be looked at;
    // every DoModal and every Create builds the window anew from the template
    // and runs OnInitDialog on it, as a new window each time. A template the
    // chain does not have gives an empty dialog (and a warning).
    CZntDialog(int templateId, QWidget* parent, CCorZnt* host = nullptr);
    ~CZntDialog() override;

    int DoModal() { return exec(); }
    int exec() override;
    // Modeless: the window is made anew under the parent, set up and shown; 1 on success.
    int Create(QWidget* parent);
    // Destroys the window (its controls included) and keeps the object.
    void DestroyWindow();
    // Moves and sizes the window from code; a dialog the user cannot resize can still be sized so.
    void MoveWindow(int x, int y, int width, int height);
    void SetClientSize(int width, int height);
    void setVisible(bool visible) override;
    void done(int result) override;
    void EndDialog(int result) { done(result); }

    QWidget* GetDlgItem(int id) const;
    QString GetDlgItemText(int id) const;
    void SetDlgItemText(int id, const QString& text);
    int IsDlgButtonChecked(int id) const;
    void CheckDlgButton(int id, int check);
    int UpdateData(bool saveAndValidate = true);

    const platform::DialogTemplate& Template() const { return m_template; }
    const CDialogUnits& Units() const { return m_units; }
    void LoadSettingsSection(int stringId);  // the dialog's settings section from the string table

    // Runs a control notification through the message map, then the defaults
    // (1 OnOK, 2 OnCancel, 57670 OnHelp). True when something handled it.
    bool DispatchCommand(int code, int id);

    virtual int OnInitDialog();  // exchanges the members into the controls; dialogs attach their controls themselves
    virtual void OnOK();      // UpdateData(true), then ends with 1
    virtual void OnCancel();  // ends with 2
    virtual void OnHelp();    // WM_COMMAND 57670 to the application's main window
    // Enter: the focused push button is pressed; otherwise the template's
    // default push button (OK when it names none), unless an edit has
    // claimed Enter (message 1025 with wParam 0).
    virtual void OnEnterKey();
    virtual void AttachControls();  // skins the template's controls; each dialog calls it where it attaches
    // Draws one entry of the owner-drawn list `id` (a template list marked "ownerdraw").
    virtual void OnDrawItem(int id, const ZntDrawItem& item);

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual const MessageMap& GetMessageMap() const;

    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void build();
    void destroyControls();
    static bool controlMessage(QWidget* control, platform::WindowMessageEvent* message);
    void makeWindow();
    void centreOnOwner();
    int defaultButtonId() const;
    QWidget* createControl(const platform::ControlTemplate& control);
    void connectNotifications(QWidget* widget, int id);
    static void fitText(QWidget* widget, const QFont& templateFont);

    platform::DialogTemplate m_template;
    CDialogUnits m_units;
    QHash<int, QWidget*> m_controls;  // owned by Qt as children of the dialog
    bool m_bFresh = true;      // the controls are as the template built them, never set up
    bool m_bWindowUp = false;  // made and set up by DoModal, Create or a first show, not yet destroyed
    bool m_bInInit = false;
    bool m_bEndedInInit = false;
    bool m_bEnterClaimed = false;
};
