#pragma once
// The list box a template's "list" control becomes. Its selection changes
// are announced (selChange) only when the user made them with the mouse or
// the keyboard: a selection set by code raises no notification, as a list
// box's own selection request does not.
#include <QListWidget>

class CZntListBox : public QListWidget {
    Q_OBJECT
public:
    explicit CZntListBox(QWidget* parent = nullptr);

signals:
    void selChange();

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    int m_nUserInput = 0;  // > 0 while a mouse or key event of the user is handled
};
