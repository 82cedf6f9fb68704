#pragma once
// A share the service refused: its title, message and a settings button.
// (Declared; built with sharing.)
#include "frame/Zvnd06Export.h"
#include "support/zvncst/ZntDialog.h"

class ZVND06_EXPORT CDlgCloudError : public CZntDialog {
    Q_OBJECT
public:
    explicit CDlgCloudError(QWidget* parent);
    int SetTitle(const QString& title);
    int SetMessage(const QString& message);
    void ShowSettingsButton(int show);
};
