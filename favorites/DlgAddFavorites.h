#pragma once
// Naming the current chart and placing it in the favourites. (Declared;
// built with the favourites.)
#include "frame/Zvnd06Export.h"
#include "support/zvncst/ZntDialog.h"

class ZVND06_EXPORT CDlgAddFavorites : public CZntDialog {
    Q_OBJECT
public:
    CDlgAddFavorites(CCorZnt* host, const QString& root, QWidget* parent);
    explicit CDlgAddFavorites(QWidget* parent);

    void SetRoot(const QString& root);
    void SetFavoritesIndex(int index);
    const QString& GetName() const;
    const QString& GetPath() const;
    QString GetDescription() const;
};
