#include "db/dbdata.h"

#include "db/asciitext.h"
#include "db/driverlibrary.h"
#include "db/engineprofile.h"
#include "db/sqltext.h"

#include <algorithm>
#include <vector>

namespace {

// Characters that would end or restructure the "DSN=" value of a connection
// string. Braces, the ODBC quoting, are not honoured alike by the driver
// manager and the drivers (psqlODBC looks the braced name up as it is), so
// such a name is refused rather than quoted.
constexpr QLatin1StringView kConnectStringSyntax(";{}=");

// What the driver's "cannot open" code means, as a line before its own
// text; empty for any other failure.
QString OpenFailureNote(const EngineProfile* pProfile, const CDBException& error)
{
    if (pProfile == nullptr || pProfile->nOpenFailureNative == 0)
        return QString();
    for (const CDBException::Code& code : error.m_arrCodes) {
        if (code.nNative == pProfile->nOpenFailureNative)
            return QLatin1String(pProfile->pszOpenFailure) + QLatin1Char('\n');
    }
    return QString();
}

// An information text of any length (SQL_KEYWORDS runs to kilobytes).
QString InfoText(SQLHDBC hdbc, SQLUSMALLINT nInfo)
{
    std::vector<SQLWCHAR> text(1024, 0);
    for (;;) {
        const SQLSMALLINT nBufferBytes = SQLSMALLINT(text.size() * sizeof(SQLWCHAR));
        SQLSMALLINT nBytes = 0;
        if (!SqlSucceeded(SQLGetInfoW(hdbc, nInfo, text.data(), nBufferBytes, &nBytes)))
            return QString();
        // The buffer's length is a 16-bit count of bytes: nothing longer can come.
        constexpr size_t kMaxChars = 32767 / sizeof(SQLWCHAR);
        if (nBytes < nBufferBytes || text.size() >= kMaxChars)
            return FromSqlWChar(text.data(), qsizetype(text.size()));
        text.assign(std::min(size_t(nBytes) / sizeof(SQLWCHAR) + 1, kMaxChars), 0);   // cut: read again whole
    }
}

}  // namespace

bool CDBData::Connect()
{
    // The old connection is closed before the new one is opened.
    m_pDatabase.reset();
    m_columnSnapshots.clear();   // read over the old one
    m_strLastError.clear();
    m_strDbmsName.clear();
    m_bReadOnlyOnServer = false;

    for (const QChar c : kConnectStringSyntax) {
        if (m_strDSN.contains(c)) {
            m_bLastFailureCancelled = false;
            m_strLastError = QStringLiteral("The data source name \"%1\" holds '%2', which a connection string "
                                            "cannot carry as part of a name; rename the data source.")
                                 .arg(m_strDSN, c);
            return false;
        }
    }

    const EngineProfile* pDriverProfile = FindProfileByDriverLibrary(FindDriverLibrary(m_strDSN));
    QString strConnect = QLatin1String("DSN=") + m_strDSN + QLatin1Char(';');
    if (pDriverProfile != nullptr)
        strConnect += QLatin1String(pDriverProfile->pszConnectAttributes);

    m_pDatabase = std::make_unique<CDatabase>();
    bool bOpen = false;
    try {
        bOpen = m_pDatabase->OpenEx(strConnect);
    } catch (const CDBException& error) {
        // Nothing is shown here; callers that report read GetLastError().
        NoteError(error);
        m_strLastError.prepend(OpenFailureNote(pDriverProfile, error));
        bOpen = false;
    }
    if (bOpen) {
        m_strDbmsName = InfoText(m_pDatabase->Handle(), SQL_DBMS_NAME).trimmed();
        const EngineProfile* pEngine = FindProfileByDbmsName(m_strDbmsName);
        m_runningStatements.SetCatalogCallsCancellable(pEngine == nullptr || pEngine->bCatalogCallsCancellable);
        bOpen = MakeSessionReadOnly();
    }
    if (!bOpen) {
        m_pDatabase.reset();
        m_strDbmsName.clear();
        return false;
    }

    // A blank quote character means the driver has none; SQL's own double
    // quote is then the best guess for a name that needs quoting.
    const QString strQuote = InfoText(m_pDatabase->Handle(), SQL_IDENTIFIER_QUOTE_CHAR).trimmed();
    m_strIdentifierQuote = strQuote.isEmpty() ? QStringLiteral("\"") : strQuote;
    m_strSearchEscape = InfoText(m_pDatabase->Handle(), SQL_SEARCH_PATTERN_ESCAPE).trimmed();
    ReadNameRules();
    return true;
}

bool CDBData::MakeSessionReadOnly()
{
    const EngineProfile* pProfile = FindProfileByDbmsName(m_strDbmsName);
    if (pProfile == nullptr)
        return true;   // nothing the engine offers; the caller can tell from IsReadOnlyOnServer
    const QString strStatement = QLatin1String(pProfile->pszReadOnlySession);
    bool bDone = false;
    try {
        bDone = RunStatement(false, [&](CStatement& statement) {
            statement.ExecDirect(strStatement);
            return true;
        });
    } catch (const CDBException& error) {
        NoteError(error);   // the statement could not even be allocated
    }
    if (bDone && pProfile->bRollBackEachOperation) {
        // After the session statement, which a rollback would undo.
        try {
            m_pDatabase->KeepTransactionsOpen();
        } catch (const CDBException& error) {
            NoteError(error);
            bDone = false;
        }
    }
    if (!bDone) {
        m_strLastError.prepend(QStringLiteral("The server refused to make the session read-only (%1):\n")
                                   .arg(strStatement));
        return false;
    }
    m_bReadOnlyOnServer = true;
    return true;
}

CDBData::COperationScope::~COperationScope()
{
    if (--m_data.m_nOperationDepth == 0)
        m_data.EndOperation();
}

void CDBData::EndOperation()
{
    if (!IsConnected() || !m_pDatabase->KeepsTransactionsOpen() || m_pDatabase->RollBack())
        return;
    m_pDatabase.reset();
    m_bLastFailureCancelled = false;
    m_strLastError = QStringLiteral("The connection was closed: the driver could not end its read-only "
                                    "transaction.");
}

void CDBData::ReadNameRules()
{
    const SQLHDBC hdbc = m_pDatabase->Handle();
    m_identifierRule = IdentifierRule();
    m_identifierRule.strQuote = m_strIdentifierQuote;
    SQLUSMALLINT nCase = 0;
    if (SqlSucceeded(SQLGetInfoW(hdbc, SQL_IDENTIFIER_CASE, &nCase, sizeof(nCase), nullptr)))
        m_identifierRule.nCase = nCase;
    for (const QString& strWord : InfoText(hdbc, SQL_KEYWORDS).split(u',', Qt::SkipEmptyParts))
        m_identifierRule.reservedWords.insert(AsciiLower(strWord.trimmed()));
    m_bBackslashEscapes = BackslashEscapesLiterals(m_strDbmsName);
}

void CDBData::NoteError(const CDBException& error)
{
    m_bLastFailureCancelled = false;
    m_strLastError = error.m_strError.trimmed();
    if (m_strLastError.isEmpty())
        m_strLastError = QStringLiteral("the driver reported a failure without a message");
    // The SQLSTATEs tell a refused login from a server that is down.
    for (const CDBException::Code& code : error.m_arrCodes)
        m_strLastError += QLatin1String("\nSQLSTATE ") + code.strState;
}

void CDBData::CancelRunningStatement()
{
    // Never touches m_pDatabase, which the worker may be replacing
    // (Connect): only the statements that exist are reached.
    m_runningStatements.CancelAll();
}

bool CDBData::IsConnected() const
{
    return m_pDatabase != nullptr && m_pDatabase->IsOpen();
}

void CDBData::TakeConnection(CDBData& source)
{
    m_pDatabase = std::move(source.m_pDatabase);
    m_columnSnapshots.clear();
    m_strIdentifierQuote = source.m_strIdentifierQuote;
    m_strSearchEscape = source.m_strSearchEscape;
    m_identifierRule = source.m_identifierRule;
    m_bBackslashEscapes = source.m_bBackslashEscapes;
    m_strDbmsName = source.m_strDbmsName;
    m_bReadOnlyOnServer = source.m_bReadOnlyOnServer;
    // What the driver is safe against goes with its connection.
    m_runningStatements.SetCatalogCallsCancellable(source.m_runningStatements.CatalogCallsCancellable());
    m_strLastError.clear();
}

void CDBData::CopyDataSource(const CDBData& other)
{
    if (!m_strDSN.isEmpty())
        return;
    m_strDSN = other.m_strDSN;
    m_bSystemDSN = other.m_bSystemDSN;
}

QString CDBData::QualifyName(const QString& strCatalog, const QString& strOwner,
                             const QString& strTable) const
{
    return ::QualifyName(strCatalog, strOwner, strTable, m_identifierRule);
}

QString CDBData::QuoteName(const QString& strName) const
{
    return QuoteIdentifier(strName, m_identifierRule);
}

QString CDBData::SqlLiteral(const QString& strValue) const
{
    return ::SqlLiteral(strValue, m_bBackslashEscapes);
}

QString CDBData::SearchPattern(const QString& strName) const
{
    return EscapeSearchPattern(strName, m_strSearchEscape);
}
