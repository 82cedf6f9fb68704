#pragma once
// The modeless download progress window. (Declared; built with the library.)
#include "frame/Zvnd06Export.h"
#include "support/zvncst/ZntDialog.h"

class ZVND06_EXPORT CDlgContentsLibraryDownload : public CZntDialog {
    Q_OBJECT
public:
    explicit CDlgContentsLibraryDownload(QWidget* parent);
    int Create(QWidget* parent);
    void Close();
};
