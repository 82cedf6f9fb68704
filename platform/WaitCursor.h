#pragma once

namespace platform {

// Shows the wait cursor over the whole application for as long as it lives,
// around work that blocks the user-interface thread (a synchronous request).
class CWaitCursor {
public:
    CWaitCursor();
    ~CWaitCursor();
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

private:
    bool m_shown;
};

}  // namespace platform
