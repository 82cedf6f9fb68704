#pragma once
/// \file
/// The product's dialog base: a dialog built from a template of the resource
/// chain, with its controls placed in dialog units, a message map that binds
/// control notifications and window messages to handlers, and the Windows
/// dialog conventions (OK 1, Cancel 2, Esc is Cancel, help 57670).
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

/// notification codes, as Windows numbers them
enum : int {
    /// A button was clicked (Enter and Esc click buttons too).
    BN_CLICKED = 0,
    /// The user changed a list's selection (a selection set by code raises none).
    LBN_SELCHANGE = 1,
    /// A list's entry was double-clicked.
    LBN_DBLCLK = 2,
    /// An edit took the focus.
    EN_SETFOCUS = 0x0100,
    /// An edit lost the focus.
    EN_KILLFOCUS = 0x0200,
    /// An edit's text changed.
    EN_CHANGE = 0x0300,
    /// A tree's item was double-clicked.
    NM_DBLCLK = -3,
    /// A tree's current item changed.
    TVN_SELCHANGED = -402,
};

/// The help button's id and the command it sends (ID_HELP).
enum : int { IDC_HELP_COMMAND = 57670 };
constexpr unsigned WM_ZNTDIALOG = platform::WM_USER + 1;  ///< 1025: wParam 0 keeps Enter for the focused edit, 1 gives it back

/// One entry of a dialog's message map: a control notification (Command: its
/// code and the control's id) or a window message (Message: its number), and
/// the handler that answers it. MapCommand() and MapMessage() make them.
struct MessageMapEntry {
    /// \var MessageMapEntry::Command
    /// A control notification, by `code` and `id`.

    /// \var MessageMapEntry::Message
    /// A window message, by `message`.

    /// \var MessageMapEntry::kind
    /// Whether the entry answers a Command or a Message.

    /// What an entry answers: a control notification or a window message.
    enum Kind { Command, Message } kind;
    int code;          ///< notification (Command)
    int id;            ///< control (Command)
    unsigned message;  ///< window message (Message)
    /// The handler, with the dialog and the message's parameters (0 for a Command); its result is the message's.
    std::function<platform::LRESULT(CZntDialog&, platform::WPARAM, platform::LPARAM)> call;
};
/// A dialog's message map: its entries in order, the first that matches answers.
using MessageMap = std::vector<MessageMapEntry>;

/// a control notification bound to a handler `void Handler()`
template <class D>
MessageMapEntry MapCommand(int code, int id, void (D::*handler)())
{
    return {MessageMapEntry::Command, code, id, 0,
            [handler](CZntDialog& d, platform::WPARAM, platform::LPARAM) {
                (static_cast<D&>(d).*handler)();
                return platform::LRESULT(0);
            }};
}

/// a window message bound to a handler `LRESULT Handler(WPARAM, LPARAM)`
template <class D>
MessageMapEntry MapMessage(unsigned message, platform::LRESULT (D::*handler)(platform::WPARAM, platform::LPARAM))
{
    return {MessageMapEntry::Message, 0, 0, message,
            [handler](CZntDialog& d, platform::WPARAM w, platform::LPARAM l) { return (static_cast<D&>(d).*handler)(w, l); }};
}

/// The base of every dialog of the module. A dialog derives from it, names
/// its template, binds its controls' notifications in GetMessageMap(), moves
/// its values in DoDataExchange(), and sets itself up in OnInitDialog().
///
/// Of window messages it sends WM_COMMAND ID_HELP (wParam 57670, lParam 0) to
/// the main window for the help button (OnHelp()); it answers WM_COMMAND with
/// MAKEWPARAM(id, code) as a notification of its control `id`, WM_ZNTDIALOG,
/// and the messages its map binds; its controls answer BM_SETSTYLE,
/// STM_SETICON, STM_SETIMAGE and EM_SETBKGNDCOLOR. Settings: "PlainStyle" of
/// `General\Display`, read as it is made.
class CZntDialog : public QDialog, public CZntDialogBase {
    Q_OBJECT
public:
    /// Builds the template's controls at once, so the layout can be looked at;
    /// every DoModal and every Create builds the window anew from the template
    /// and runs OnInitDialog on it, as a new window each time. A template the
    /// chain does not have gives an empty dialog (and a warning).
    CZntDialog(int templateId, QWidget* parent, CCorZnt* host = nullptr);
    /// The controls go with the window, children of the dialog.
    ~CZntDialog() override;

    /// Shows the dialog modally and returns how it ended: 1 OK, 2 Cancel, or
    /// the number a handler gave EndDialog().
    int DoModal() { return exec(); }
    /// Makes the window anew and runs its modal loop, as DoModal(); a dialog that
    /// ended while it was set up is never shown and returns its result at once.
    int exec() override;
    /// Modeless: the window is made anew under the parent, set up and shown; 1 on success.
    ///
    /// 0 when the dialog ended while it was set up.
    int Create(QWidget* parent);
    /// Destroys the window (its controls included) and keeps the object.
    void DestroyWindow();
    /// Moves and sizes the window from code; a dialog the user cannot resize can still be sized so.
    void MoveWindow(int x, int y, int width, int height);
    /// Sizes the client area in pixels without moving the window; fixed unless the template says "resizable".
    void SetClientSize(int width, int height);
    /// A show with no DoModal or Create before it makes and sets up the window
    /// first; a dialog that ended while it was set up stays hidden.
    void setVisible(bool visible) override;
    /// Ends the dialog with `result`, also from inside OnInitDialog().
    void done(int result) override;
    /// Ends the dialog with `result`, which DoModal() returns.
    void EndDialog(int result) { done(result); }

    /// The control `id` of the template (the first of several with that id), null when there is none.
    QWidget* GetDlgItem(int id) const;
    /// The text of control `id`: an edit's or rich edit's text, a label's, a
    /// button's or a group's title; empty for anything else.
    QString GetDlgItemText(int id) const;
    /// Sets the text of control `id`, as GetDlgItemText() reads it; a label's
    /// or button's new text is its name for a screen reader too.
    void SetDlgItemText(int id, const QString& text);
    /// 1 when the check box or button `id` is checked, else 0.
    int IsDlgButtonChecked(int id) const;
    /// Checks the check box `id` (`check` not 0) or clears it.
    void CheckDlgButton(int id, int check);
    /// Runs DoDataExchange(): true reads the controls into the members, false
    /// shows the members. Returns 1.
    int UpdateData(bool saveAndValidate = true);

    /// The dialog's template, as the resource chain gave it.
    const platform::DialogTemplate& Template() const { return m_template; }
    /// The conversion of the template's dialog units to pixels.
    const CDialogUnits& Units() const { return m_units; }
    void LoadSettingsSection(int stringId);  ///< the dialog's settings section from the string table

    /// Runs a control notification through the message map, then the defaults
    /// (1 OnOK, 2 OnCancel, 57670 OnHelp). True when something handled it.
    bool DispatchCommand(int code, int id);

    virtual int OnInitDialog();  ///< exchanges the members into the controls; dialogs attach their controls themselves
    virtual void OnOK();      ///< UpdateData(true), then ends with 1
    virtual void OnCancel();  ///< ends with 2
    virtual void OnHelp();    ///< WM_COMMAND 57670 to the application's main window
    /// Enter: the focused push button is pressed; otherwise the template's
    /// default push button (OK when it names none), unless an edit has
    /// claimed Enter (message 1025 with wParam 0).
    virtual void OnEnterKey();
    virtual void AttachControls();  ///< skins the template's controls; each dialog calls it where it attaches
    /// Draws one entry of the owner-drawn list `id` (a template list marked "ownerdraw").
    virtual void OnDrawItem(int id, const ZntDrawItem& item);

protected:
    /// Moves the dialog's values between its controls and its members, with
    /// the DDX_ functions; the base moves nothing.
    virtual void DoDataExchange(CDataExchange* pDX);
    /// The dialog's message map; the base's is empty.
    virtual const MessageMap& GetMessageMap() const;

    /// Window messages: the map's entries first, then WM_COMMAND and WM_ZNTDIALOG; other events go on to Qt.
    bool event(QEvent* e) override;
    /// Esc is Cancel (button 2) and Enter is OnEnterKey(), as on Windows.
    void keyPressEvent(QKeyEvent* e) override;
    /// The window's close box is Cancel (button 2); the handler decides whether the dialog ends.
    void closeEvent(QCloseEvent* e) override;
    /// A rejection is Cancel (button 2), through the message map.
    void reject() override;
    /// The controls answer the standard controls' messages, and an edit's focus
    /// raises EN_SETFOCUS and EN_KILLFOCUS.
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void build();
    void destroyControls();
    static bool controlMessage(QWidget* control, platform::WindowMessageEvent* message);
    void makeWindow();
    void centreOnOwner();
    void focusFirstControl();
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
