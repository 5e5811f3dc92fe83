// CDBData: the catalog reader (schemas, tables and views, columns, indexes,
// the data dictionary table of a schema).

#include "db/dbdata.h"

#include "app/messagetarget.h"
#include "db/asciitext.h"
#include "db/catalogrow.h"
#include "db/catalogtargets.h"
#include "db/engineprofile.h"
#include "db/schemakey.h"
#include "db/sqltext.h"

#include <QSet>

#include <algorithm>

QString CDBData::QualifyInSchema(const QString& strTable) const
{
    const auto [strCatalog, strOwner] = SplitSchemaKey(m_strSchema);
    return QualifyName(strCatalog, strOwner, strTable);
}

void CDBData::FillSchemaCombo(QStringList& arrKeys, ISchemaCombo& combo)
{
    arrKeys.clear();
    combo.ResetContent();
    QSet<QString> seen;
    const bool bRead = ScanAllTables(QString(), [&](const CCatalogRow& row, const QString& strKey) {
        if (seen.contains(strKey))
            return;
        seen.insert(strKey);
        const QString strCatalog = row.Catalog();
        const QString strOwner = row.Owner();
        const int nData = int(arrKeys.size());
        arrKeys.append(strKey);
        combo.AddItem(strCatalog.isEmpty() ? strOwner : strOwner.isEmpty() ? strCatalog : strKey, nData);
    });
    if (!bRead)
        combo.ResetContent();
}

bool CDBData::ScanAllTables(const QString& strTypes,
                           const std::function<void(const CCatalogRow& row, const QString& strKey)>& onTable)
{
    return RunStatement(false, [&](CStatement& statement) {
        if (!statement.Tables(QString(), QString(), QString(), strTypes))
            return false;
        CCatalogRow row;
        row.Bind(statement);
        while (statement.Fetch())
            onTable(row, MakeSchemaKey(row.Catalog(), row.Owner()));
        return true;
    });
}

bool CDBData::LoadTableList(ITableList& list)
{
    m_arrTables.clear();
    m_mapViews.clear();
    list.DeleteAllItems();
    if (!IsConnected())
        return false;

    const auto [strCatalog, strOwner] = SplitSchemaKey(m_strSchema);
    QStringList arrViews;
    const bool bRead = RunStatement(false, [&](CStatement& statement) {
        if (!statement.Tables(strCatalog, SearchPattern(strOwner), QString(), kTablesAndViews))
            return false;
        CCatalogRow row;
        CTextBuffer type;
        row.Bind(statement);
        statement.BindText(4, type);
        while (statement.Fetch()) {
            if (!row.Matches(strCatalog, strOwner))
                continue;
            const QString strTable = row.Table();
            // Kept sorted by UTF-16 code units; equal names are all kept.
            if (m_arrTables.isEmpty() || !(strTable < m_arrTables.last()))
                m_arrTables.append(strTable);
            else
                m_arrTables.insert(std::upper_bound(m_arrTables.begin(), m_arrTables.end(), strTable), strTable);
            if (AsciiEqualsIgnoreCase(type.Text(), QStringLiteral("VIEW")))
                arrViews.append(strTable);
        }
        return true;
    });
    if (!bRead) {
        m_arrTables.clear();
        m_mapViews.clear();
        return false;
    }

    for (const QString& strView : std::as_const(arrViews)) {
        const auto it = std::lower_bound(m_arrTables.cbegin(), m_arrTables.cend(), strView);
        if (it != m_arrTables.cend() && *it == strView)
            m_mapViews.insert(int(it - m_arrTables.cbegin()), true);
    }
    for (int i = 0; i < m_arrTables.size(); ++i)
        list.AppendItem(i);
    FindDataDictionaryTable();
    return true;
}

void CDBData::FindDataDictionaryTable()
{
    m_strDDTable.clear();
    if (m_arrTables.isEmpty())
        return;
    static const char* const kCandidates[] = {"F9210", "f9210", "F9201", "f9201"};
    for (const char* pszName : kCandidates) {
        const QString strName = QLatin1String(pszName);
        if (!std::binary_search(m_arrTables.cbegin(), m_arrTables.cend(), strName))
            continue;
        // Only the first name found counts; an empty dictionary is no dictionary.
        if (CountRows(QualifyInSchema(strName)) > 0)
            m_strDDTable = strName;
        return;
    }
}

int CDBData::CountRows(const QString& strQualifiedTable)
{
    return RunStatement(-1, [&](CStatement& statement) {
        statement.ExecDirect(QStringLiteral("SELECT COUNT(*) FROM ") + strQualifiedTable);
        SQLUINTEGER nCount = 0;
        statement.BindULong(1, nCount);
        return statement.Fetch() ? int(nCount) : -1;
    });
}

QString CDBData::GetTableName(int nIndex) const
{
    return nIndex >= 0 && nIndex < m_arrTables.size() ? m_arrTables.at(nIndex) : QString();
}

bool CDBData::IsView(int nIndex) const
{
    return m_mapViews.value(nIndex, false);
}

bool CDBData::TableMatchesSearch(int nIndex, const QString& strSearch) const
{
    if (nIndex < 0 || nIndex >= m_arrTables.size())
        return false;
    return AsciiLower(m_arrTables.at(nIndex)).contains(strSearch);
}

bool CDBData::LoadColumns(const QString& strTable, CColumnInfoArray& arrColumns)
{
    arrColumns.clear();
    const auto [strCatalog, strOwner] = SplitSchemaKey(m_strSchema);
    return ReadColumns(strCatalog, strOwner, strTable, [&](const CColumnInfo& column) {
        arrColumns.push_back(std::make_unique<CColumnInfo>(column));
        return true;
    });
}

bool CDBData::ReadColumns(const QString& strCatalog, const QString& strOwner, const QString& strTable,
                          const std::function<bool(const CColumnInfo&)>& onColumn)
{
    // No pattern: the snapshot of every column.
    return ReadColumnsLike(strCatalog, strOwner, strTable, {}, onColumn);
}

bool CDBData::ReadColumnsLike(const QString& strCatalog, const QString& strOwner, const QString& strTable,
                              const QStringList& arrColumnPatterns,
                              const std::function<bool(const CColumnInfo&)>& onColumn)
{
    bool bCancelled = false;
    const CColumnSnapshot* pSnapshot = SchemaSnapshot(strCatalog, strOwner, arrColumnPatterns, bCancelled);
    // A cancel stops the lookup as it stops a table's own catalog call: the
    // table is not read another way meanwhile.
    if (bCancelled)
        return false;
    if (const std::vector<CColumnInfo>* pColumns = pSnapshot != nullptr ? pSnapshot->Columns(strTable) : nullptr) {
        for (const CColumnInfo& column : *pColumns) {
            if (!onColumn(column))
                break;
        }
        m_strLastError.clear();
        return true;
    }
    // RunStatement refuses to run unconnected, and says so in GetLastError.
    return RunStatement(false, [&](CStatement& statement) {
        return ReadTableColumns(statement, m_strSearchEscape, strCatalog, strOwner, strTable, onColumn);
    });
}

const CColumnSnapshot* CDBData::SchemaSnapshot(const QString& strCatalog, const QString& strOwner,
                                               const QStringList& arrColumnPatterns, bool& bCancelled)
{
    bCancelled = false;
    if (m_nSnapshotScopes == 0 || !m_bColumnSnapshots || !IsConnected())
        return nullptr;
    // A snapshot of some columns only is another snapshot of the schema.
    QString strKey = MakeSchemaKey(strCatalog, strOwner);
    for (const QString& strPattern : arrColumnPatterns)
        strKey += QChar(0x1f) + strPattern;
    const auto found = m_columnSnapshots.find(strKey);
    if (found != m_columnSnapshots.end())
        return found->second.get();
    auto pSnapshot = std::make_unique<CColumnSnapshot>();
    // Whatever stops the whole reading (a refusal, an untrusted answer, a
    // fetch error) leaves the schema to the reading of each table, whose
    // own failure, if the cause persists, is the one reported.
    bool bRead = false;
    const int nPartRows = SnapshotPartRows();
    if (!arrColumnPatterns.isEmpty()) {
        // Few rows: the whole schema in one call per pattern.
        const EngineProfile* pProfile = FindProfileByDbmsName(m_strDbmsName);
        const bool bIgnoreCase = pProfile != nullptr && pProfile->bCatalogPatternsIgnoreCase;
        QStringList arrAsked;
        for (const QString& strPattern : arrColumnPatterns) {
            if (bIgnoreCase && arrAsked.contains(strPattern, Qt::CaseInsensitive))
                continue;   // its rows came with the pattern asked already
            arrAsked.append(strPattern);
            bRead = RunStatement(false, [&](CStatement& statement) {
                return pSnapshot->ReadMatching(statement, m_strSearchEscape, strCatalog, strOwner, strPattern);
            });
            if (!bRead)
                break;
        }
    } else if (nPartRows <= 0) {
        bRead = RunStatement(false, [&](CStatement& statement) {
            return pSnapshot->Read(statement, m_strSearchEscape, strCatalog, strOwner);
        });
    } else {
        // In parts by name prefix, from the schema's listing: the driver
        // holds no more than one part's rows at a time.
        QStringList arrNames;
        bRead = RunStatement(false, [&](CStatement& statement) {
            if (!statement.Tables(strCatalog, SearchPattern(strOwner), QString(), QString()))
                return false;
            CCatalogRow row;
            row.Bind(statement);
            while (statement.Fetch()) {
                if (row.Matches(strCatalog, strOwner))
                    arrNames.append(row.Table());
            }
            return true;
        });
        std::sort(arrNames.begin(), arrNames.end());
        arrNames.erase(std::unique(arrNames.begin(), arrNames.end()), arrNames.end());
        pSnapshot->CoverOnly(arrNames);
        if (bRead) {
            // Parts sized in column rows, by the columns a table has had so
            // far (a guess of 40 for the first part: a schema of several
            // hundred tables is then read with one call). Each call costs
            // the server its planning and sort beyond the rows (about 50 ms
            // on PostgreSQL): parts are not made small.
            const auto maxTables = [&] {
                const int nTables = pSnapshot->TableCount();
                const qint64 nPerTable = nTables == 0 ? 40 : qMax<qint64>(1, pSnapshot->ColumnCount() / nTables);
                return int(qBound(qint64(1), qint64(nPartRows) / nPerTable, qint64(1000)));
            };
            bRead = ForEachTableNamePart(arrNames, m_strSearchEscape, maxTables, [&](const QString& strPattern) {
                return RunStatement(false, [&](CStatement& statement) {
                    return pSnapshot->ReadPart(statement, m_strSearchEscape, strCatalog, strOwner, strPattern);
                });
            });
        }
    }
    if (!bRead && m_bLastFailureCancelled) {
        bCancelled = true;
        return nullptr;
    }
    if (!bRead)
        pSnapshot.reset();
    return m_columnSnapshots.emplace(strKey, std::move(pSnapshot)).first->second.get();
}

int CDBData::SnapshotPartRows() const
{
    if (m_nSnapshotPartRows >= 0)
        return m_nSnapshotPartRows;
    const EngineProfile* pProfile = FindProfileByDbmsName(m_strDbmsName);
    return pProfile != nullptr ? pProfile->nSnapshotPartRows : 0;
}

CDBData::CColumnSnapshotScope::CColumnSnapshotScope(CDBData& data) : m_data(data)
{
    ++m_data.m_nSnapshotScopes;
}

CDBData::CColumnSnapshotScope::~CColumnSnapshotScope()
{
    if (--m_data.m_nSnapshotScopes == 0)
        m_data.m_columnSnapshots.clear();
}

bool CDBData::LoadIndexes(const QString& strTable, CIndexInfoArray& arrIndexes)
{
    arrIndexes.clear();
    if (!IsConnected())
        return false;

    const auto [strCatalog, strOwner] = SplitSchemaKey(m_strSchema);
    return RunStatement(false, [&](CStatement& statement) {
        // The statistics arguments are plain names, not patterns; the rows
        // are still checked, for drivers that take them as patterns anyway.
        if (!statement.Statistics(strCatalog, strOwner, strTable, SQL_INDEX_ALL))
            return false;
        CCatalogRow row;
        CTextBuffer indexName;
        CTextBuffer column;
        CTextBuffer order;
        row.Bind(statement);
        statement.BindText(6, indexName);
        statement.BindText(9, column);
        statement.BindText(10, order);
        std::unique_ptr<CIndexInfo> pCurrent;
        while (statement.Fetch()) {
            const QString strIndex = indexName.Text();
            if (strIndex.isEmpty())
                continue;   // the table's statistics row
            if (!row.Matches(strCatalog, strOwner, strTable))
                continue;
            if (!pCurrent || pCurrent->m_strName != strIndex) {
                if (pCurrent)
                    arrIndexes.push_back(std::move(pCurrent));
                pCurrent = std::make_unique<CIndexInfo>(strIndex);
            }
            pCurrent->AddColumn(column.Text(), !order.Text().startsWith(QLatin1Char('D')));
        }
        if (pCurrent)
            arrIndexes.push_back(std::move(pCurrent));
        return true;
    });
}

bool CDBData::ListTables(const QString& strCatalog, const QString& strOwner, QStringList& arrTables,
                         CMessageTarget* pProgress, bool& bCancel)
{
    if (bCancel)
        return true;
    return RunStatement(false, [&](CStatement& statement) {
        if (!statement.Tables(strCatalog, SearchPattern(strOwner), QString(), kTablesOnly))
            return false;
        if (bCancel)
            return true;
        CCatalogRow row;
        row.Bind(statement);
        while (!bCancel && statement.Fetch()) {
            if (!row.Matches(strCatalog, strOwner))
                continue;
            arrTables.append(row.Table());
            if (pProgress != nullptr) {
                pProgress->SendMessage(WM_TASK_STEP, -1, -1);
                if (pProgress->SendMessage(WM_TASK_QUERYCANCEL, 0, 0) != 0)
                    bCancel = true;
            }
        }
        return true;
    });
}
