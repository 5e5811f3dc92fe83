#pragma once

#include "views/basesplitwnd.h"

// The two database selection forms side by side, with a fixed bar.
class CDBListSplitWnd : public CBaseSplitWnd
{
    Q_OBJECT

public:
    explicit CDBListSplitWnd(QWidget* pParent = nullptr) : CBaseSplitWnd(Qt::Horizontal, pParent) {}
};
