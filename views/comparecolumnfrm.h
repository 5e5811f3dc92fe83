#pragma once

#include "views/comparefrm.h"

// The window of the fields of one different table, read from the table
// result: no run of its own.
class CCompareColumnFrm : public CCompareFrm
{
    Q_OBJECT

public:
    CCompareColumnFrm(CCompareLauncher& launcher, int nTable, QWidget* pParent);

    int GetTable() const { return m_nTable; }
    int GetPlacementIndex() const override { return 3; }
    // A single column of names stays narrow; the SQL types need room.
    bool LimitWidth() const override;

protected:
    CFormCompare* CreateForm() override;

private:
    int m_nTable;
};
