#include "db/engineprofile.h"

#include <QFileInfo>

namespace {

// The SQLite driver creates a missing database file unless told not to: a
// read-only tool must never create one.
constexpr EngineProfile kProfiles[] = {
    {"SQLite", "sqlite3odbc", "NoCreat=1;", "PRAGMA query_only = ON", false, false, 0, false, 14,
     "The database file named by the data source does not exist or cannot be opened; it is never created."},
    {"PostgreSQL", "psqlodbc", "", "SET SESSION CHARACTERISTICS AS TRANSACTION READ ONLY", true, true, 30000, false, 0, nullptr},
    {"MariaDB", "maodbc", "", "SET SESSION TRANSACTION READ ONLY", false, true, 0, true, 0, nullptr},
    {"MySQL", "myodbc", "", "SET SESSION TRANSACTION READ ONLY", false, true, 0, true, 0, nullptr},
};

}  // namespace

const EngineProfile* FindProfileByDbmsName(const QString& strDbmsName)
{
    const QString strName = strDbmsName.trimmed();
    for (const EngineProfile& profile : kProfiles) {
        if (strName.compare(QLatin1String(profile.pszDbmsName), Qt::CaseInsensitive) == 0)
            return &profile;
    }
    return nullptr;
}

const EngineProfile* FindProfileByDriverLibrary(const QString& strLibraryPath)
{
    const QString strFile = QFileInfo(strLibraryPath).fileName();
    if (strFile.isEmpty())
        return nullptr;
    for (const EngineProfile& profile : kProfiles) {
        if (strFile.contains(QLatin1String(profile.pszDriverLibrary), Qt::CaseInsensitive))
            return &profile;
    }
    return nullptr;
}
