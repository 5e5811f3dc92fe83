#pragma once

#include "views/comparefrm.h"

// The window of an alias comparison; it runs the comparison unless its
// result exists.
class CCompareAliasFrm : public CCompareFrm
{
    Q_OBJECT

public:
    using CCompareFrm::CCompareFrm;

    int GetPlacementIndex() const override { return 4; }
    bool LimitWidth() const override { return false; }
    bool RunComparison() override;

protected:
    CFormCompare* CreateForm() override;
};
