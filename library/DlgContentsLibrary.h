#pragma once
// The content library: the site in an embedded browser, and the download and
// installation of the item the user picks. (Declared; built with the library.)
#include "frame/Zvnd06Export.h"
#include "support/zvncst/ZntDialog.h"

class ZVND06_EXPORT CDlgContentsLibrary : public CZntDialog {
    Q_OBJECT
public:
    explicit CDlgContentsLibrary(QWidget* parent);
    int Download();

    QString m_strInstallRoot;  // set by the host before the dialog is shown
};
