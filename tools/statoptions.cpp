#include "tools/statoptions.h"

void CStatOptions::SetStatisticsOptions(int nDateMode, const QString& strField)
{
    m_nStatDateMode = nDateMode;
    m_strStatField = nDateMode == STAT_DATE_FIELD ? strField.trimmed() : QString();
}

bool CStatOptions::HasDateColumn() const
{
    return m_nStatDateMode == STAT_DATE_UPMJ || m_nStatDateMode == STAT_DATE_FIELD;
}
