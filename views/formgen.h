#pragma once

#include "views/zembraformview.h"

// The launcher row of the comparison window: the two comparison buttons,
// enabled by what both database sides show, and the logo, on the band's
// colour.
class CFormGen : public CZembraFormView
{
    Q_OBJECT

public:
    explicit CFormGen(QWidget* pParent = nullptr);

    // Tables: both sides show their table list. Data dictionaries: both
    // also hold a data-dictionary table.
    void EnableButtons();
    void RecalcLayout(int cx, int cy) override;

signals:
    // The height the launcher row needs: its buttons and their margins.
    void launcherHeightChanged(int nHeight);
    // The comparison buttons; the comparison window hands them on.
    void compareTablesRequested();
    void compareAliasesRequested();

protected:
    void OnInitialUpdate() override;
    void OnCommand(int nId) override;
};
