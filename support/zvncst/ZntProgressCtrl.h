#pragma once
/// \file
/// The progress bar: range and position as the Windows messages set them
/// (PBM_SETRANGE, PBM_SETPOS), sent to the bar or called on the control.
#include "platform/WindowMessage.h"
#include "support/zvncst/ZntControl.h"

#include <QProgressBar>

constexpr unsigned PBM_SETRANGE = platform::WM_USER + 1;  ///< lParam: low word minimum, high word maximum
constexpr unsigned PBM_SETPOS = platform::WM_USER + 2;    ///< wParam: position; answers the previous one
/// Answers the bar's position.
constexpr unsigned PBM_GETPOS = platform::WM_USER + 8;

/// The bar a template's "progress" control becomes: from 0 to 100 at 0, no
/// text, and answering PBM_SETRANGE, PBM_SETPOS and PBM_GETPOS.
class CZntProgressBar : public QProgressBar {
    Q_OBJECT
public:
    /// A bar from 0 to 100 at 0, without text.
    explicit CZntProgressBar(QWidget* parent = nullptr);

protected:
    /// Answers the progress bar's window messages; other events go on to Qt.
    bool event(QEvent* e) override;
};

/// The progress bar of the template, as the control that speaks for it.
class CZntProgressCtrl : public CZntControl {
public:
    /// The range the position lies in.
    void SetRange(int minimum, int maximum);
    int SetPos(int position);  ///< answers the previous position; a value outside the range is clamped to it
    /// The bar's position, 0 when nothing is attached.
    int GetPos() const;
};
