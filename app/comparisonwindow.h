#pragma once

// What the application object asks of the open comparison window: the
// window itself lives in the interface layer, the application only routes
// to it (locking the selection forms while results are open, refreshing the
// launcher, offering it the keys pressed anywhere in the application).
class IComparisonWindow
{
public:
    virtual ~IComparisonWindow() = default;

    // Enables or disables the data source and schema choice of both sides.
    virtual void EnableDBSelection(bool bEnable) = 0;
    // Enables the launcher's buttons by what both sides show.
    virtual void UpdateLaunchButtons() = 0;
    // A key (Qt::Key) pressed anywhere in the application; true when the
    // window used it, and nobody else should.
    virtual bool HandleKeyDown(int nKey) = 0;
};
