#pragma once
// The program dialog: the user picks a planetarium program from the system
// and user lists. (Declared; built with the program list.)
#include "frame/Zvnd06Export.h"
#include "support/zvncst/ZntDialog.h"

class ZVND06_EXPORT CDlgProgram : public CZntDialog {
    Q_OBJECT
public:
    explicit CDlgProgram(QWidget* parent);
    CDlgProgram(const QString& systemList, const QString& userList, QWidget* parent);
    CDlgProgram(const QString& systemList, const QString& userList, CCorZnt* host, QWidget* parent);

    void SetProgNum(int index);
    void SetScrlPos(int index);
    int GetProgNum() const;
    int GetScrlPos() const;
    const QString& GetProgTitle() const;
    const QString& GetProgSubTitle() const;
    const QString& GetProgType() const;
    const QString& GetProgJimaku() const;
    const QString& GetZsfName() const;
    const QString& GetZsfActualPath() const;
    int GetPlayTime() const;
    int GetIsSystem() const;
};
