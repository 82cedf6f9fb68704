#include "support/zvncst/ZntListBox.h"

namespace {

// counts the user's event for as long as the list handles it
class UserInput {
public:
    explicit UserInput(int& depth) : m_depth(depth) { ++m_depth; }
    ~UserInput() { --m_depth; }
    UserInput(const UserInput&) = delete;
    UserInput& operator=(const UserInput&) = delete;

private:
    int& m_depth;
};

}  // namespace

CZntListBox::CZntListBox(QWidget* parent) : QListWidget(parent)
{
    connect(this, &QListWidget::currentRowChanged, this, [this] {
        if (m_nUserInput > 0)
            emit selChange();
    });
}

void CZntListBox::mousePressEvent(QMouseEvent* e)
{
    const UserInput input(m_nUserInput);
    QListWidget::mousePressEvent(e);
}

void CZntListBox::mouseMoveEvent(QMouseEvent* e)
{
    const UserInput input(m_nUserInput);
    QListWidget::mouseMoveEvent(e);
}

void CZntListBox::keyPressEvent(QKeyEvent* e)
{
    const UserInput input(m_nUserInput);
    QListWidget::keyPressEvent(e);
}
