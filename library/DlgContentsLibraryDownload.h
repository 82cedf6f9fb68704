#pragma once
/// \file
/// The modeless download progress window, made anew for each download; it
/// tells its parent (message 2036) when it closes.
#include "frame/Zvnd06Export.h"
#include "support/zvncst/ZntDialog.h"
#include "support/zvncst/ZntEdit.h"
#include "support/zvncst/ZntProgressCtrl.h"

/// The download progress window (template 16105): what is downloaded, where it
/// goes, a progress bar and one button, Cancel while the download runs and close
/// after it. It sends WM_CLDOWNLOADCLOSE (2036, wParam 0, lParam 0) to its parent
/// when it closes, and its help button sends WM_COMMAND ID_HELP (wParam 57670, lParam 0) to the main window; it reads and writes no settings.
class ZVND06_EXPORT CDlgContentsLibraryDownload : public CZntDialog {
    Q_OBJECT
public:
    /// The window's object; the window itself is made by Create().
    explicit CDlgContentsLibraryDownload(QWidget* parent);
    /// Nothing beyond the dialog's own.
    ~CDlgContentsLibraryDownload() override;
    /// Makes the window anew under `parent` and shows it, the bar from 0 to 100 at 0.
    /// Returns 1, or 0 when it ended while it was set up.
    int Create(QWidget* parent);
    /// Closes a shown window as its button does (WM_CLDOWNLOADCLOSE included).
    void Close();
    /// Attaches the progress bar (1022) and the location (1027).
    void InitControls();

    /// Attaches the controls and makes the button "キャンセル(&C)" the focused default. Returns 0.
    int OnInitDialog() override;
    /// Sends WM_CLDOWNLOADCLOSE to the parent, ends with 2 and destroys the window.
    void OnCancel() override;

    /// The progress bar.
    CZntProgressCtrl& Progress() { return m_prgDownload; }

protected:
    /// Nothing of its own: the button is Cancel.
    const MessageMap& GetMessageMap() const override;

private:
    CZntProgressCtrl m_prgDownload;
    CZntEdit m_edtLocation;
};
