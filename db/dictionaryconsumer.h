#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class CAliasCompareInfo;
class CMessageTarget;

// Receives the data-dictionary rows one at a time, as they are read.
class IDictionaryConsumer
{
public:
    virtual ~IDictionaryConsumer() = default;

    // strAlias is exactly as read (not trimmed). Phases 1 and 2 pass the
    // alias list and no record; phases 3 and 4 pass a one-sided record.
    // Setting bCancel stops the reading before the next row.
    virtual void OnDictionaryRow(int nPhase, const QString& strAlias, QStringList* pAliasList,
                                 std::unique_ptr<CAliasCompareInfo> pInfo, CMessageTarget* pDlg,
                                 bool& bCancel) = 0;
};
