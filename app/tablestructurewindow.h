#pragma once

// What the application object asks of an open table structure window: the
// window lives in the interface layer, the application keeps the list of
// the open ones and offers them the keys pressed anywhere in the
// application.
class ITableStructureWindow
{
public:
    virtual ~ITableStructureWindow() = default;

    // A key (Qt::Key) pressed anywhere in the application; true when the
    // window used it, and nobody else should.
    virtual bool HandleKeyDown(int nKey) = 0;
};
