#include "tools/registeredtables.h"

#include "db/asciitext.h"

#include <algorithm>

namespace {

bool LessIgnoringCase(const QString& a, const QString& b)
{
    return AsciiLower(a) < AsciiLower(b);
}

}  // namespace

void CRegisteredTables::Insert(const QString& strTable)
{
    // The object librarian mostly returns its rows in order: append then.
    if (m_arrTables.isEmpty() || !LessIgnoringCase(strTable, m_arrTables.last())) {
        m_arrTables.append(strTable);
        return;
    }
    m_arrTables.insert(std::upper_bound(m_arrTables.begin(), m_arrTables.end(), strTable, LessIgnoringCase),
                       strTable);
}

bool CRegisteredTables::Contains(const QString& strTable) const
{
    return std::binary_search(m_arrTables.cbegin(), m_arrTables.cend(), strTable, LessIgnoringCase);
}
