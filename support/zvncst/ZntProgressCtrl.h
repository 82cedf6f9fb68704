#pragma once
// The progress bar: range and position as the Windows messages set them
// (PBM_SETRANGE, PBM_SETPOS), sent to the bar or called on the control.
#include "platform/WindowMessage.h"
#include "support/zvncst/ZntControl.h"

#include <QProgressBar>

constexpr unsigned PBM_SETRANGE = platform::WM_USER + 1;  // lParam: low word minimum, high word maximum
constexpr unsigned PBM_SETPOS = platform::WM_USER + 2;    // wParam: position; answers the previous one
constexpr unsigned PBM_GETPOS = platform::WM_USER + 8;

class CZntProgressBar : public QProgressBar {
    Q_OBJECT
public:
    explicit CZntProgressBar(QWidget* parent = nullptr);

protected:
    bool event(QEvent* e) override;
};

class CZntProgressCtrl : public CZntControl {
public:
    void SetRange(int minimum, int maximum);
    int SetPos(int position);  // answers the previous position; a value outside the range is clamped to it
    int GetPos() const;
};
