#pragma once

// The wait cursor over the whole application for the guard's lifetime.
class CWaitCursor
{
public:
    CWaitCursor();
    ~CWaitCursor();

    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
};
