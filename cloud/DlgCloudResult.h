#pragma once
// The end of a successful share: open the page, or mail its address.
// (Declared; built with sharing.)
#include "frame/Zvnd06Export.h"
#include "support/zvncst/ZntDialog.h"

class ZVND06_EXPORT CDlgCloudResult : public CZntDialog {
    Q_OBJECT
public:
    explicit CDlgCloudResult(QWidget* parent);
};
