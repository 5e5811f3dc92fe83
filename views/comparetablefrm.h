#pragma once

#include "views/comparefrm.h"

// The window of a table comparison; it runs the comparison unless its
// result exists.
class CCompareTableFrm : public CCompareFrm
{
    Q_OBJECT

public:
    using CCompareFrm::CCompareFrm;

    int GetPlacementIndex() const override { return 2; }
    bool LimitWidth() const override { return true; }
    bool RunComparison() override;

protected:
    CFormCompare* CreateForm() override;
};
