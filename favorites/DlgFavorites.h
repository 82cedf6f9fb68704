#pragma once
// Organising the favourites folder tree. (Declared; built with the favourites.)
#include "frame/Zvnd06Export.h"
#include "support/zvncst/ZntDialog.h"

class ZVND06_EXPORT CDlgFavorites : public CZntDialog {
    Q_OBJECT
public:
    CDlgFavorites(CCorZnt* host, const QString& root, QWidget* parent);
    explicit CDlgFavorites(QWidget* parent);

    void SetRoot(const QString& root);
};
