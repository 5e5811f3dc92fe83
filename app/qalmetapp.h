#pragma once

#include "app/resultlinewriter.h"
#include "app/settingsstore.h"
#include "app/shellopener.h"
#include "compare/aliascomparison.h"
#include "compare/compareresultfile.h"
#include "compare/tablecomparison.h"
#include "compare/zembraparam.h"
#include "db/dbdata.h"
#include "tools/statoptions.h"

#include <QLocale>
#include <QString>

#include <memory>
#include <vector>

class CConnectAttempt;
class CMessageTarget;
class CPrompt;
class IComparisonWindow;
class ITableStructureWindow;
class QFile;

// Indexes of the three data sources.
enum DatabaseIndex : int
{
    DB_LEFT = 0,   // left side of the comparison window
    DB_RIGHT = 1,  // right side of the comparison window
    DB_TOOLS = 2,  // the main dialog's database of the tools
};

// Which temporary comparison result file.
enum CompareResultWhich : int
{
    RESULT_FILE_TABLES = 0,
    RESULT_FILE_ALIASES = 1,
};

// The one application object: it owns the data sources, the language, the
// comparison options, the statistics options and the temporary comparison
// result files, and gives the start and exit steps that the GUI and the
// command line both run around their own work.
class CQalmetApp
{
public:
    explicit CQalmetApp(const CSettingsStore& settings = CSettingsStore());
    ~CQalmetApp();

    CQalmetApp(const CQalmetApp&) = delete;
    CQalmetApp& operator=(const CQalmetApp&) = delete;

    // The application object of the process (the first one constructed and
    // still alive), or null.
    static CQalmetApp* GetInstance();

    // Start-up before anything is shown: the language, then the options.
    void InitInstance(const QLocale& locale = QLocale::system());
    // Exit: saves the options, then deletes the temporary result files.
    void ExitInstance();

    // Reads the user's language and country and sets the interface language.
    void ReadLanguage(const QLocale& locale);
    const QString& GetLanguage() const { return m_strLanguage; }
    const QString& GetCountry() const { return m_strCountry; }

    // Index 0, 1 or 2; null for any other index.
    CDBData* GetDatabase(int nIndex);

    CSettingsStore& GetSettings() { return m_settings; }
    CZembraParam& GetOptions() { return m_param; }
    const CStatOptions& GetStatOptions() const { return m_statOptions; }
    void SetStatisticsOptions(int nDateMode, const QString& strField);

    // The tools of the main dialog on the tools database: worker-thread
    // bodies that check the result file, generate it and open it. The
    // message boxes go through the prompt; pWaitDlg may be null.
    void RunDecimalUpdate(const QString& strPath, bool bByAlias, const QString& strName, bool bMultiply,
                          int nPower, CMessageTarget* pWaitDlg, CPrompt& prompt);
    void RunStatistics(const QString& strPath, CMessageTarget* pWaitDlg, CPrompt& prompt);
    // Locale of the statistics dates; the user's by default.
    void SetStatisticsDateLocale(const QLocale& locale);

    // Result files of the tools.
    const CResultLineWriter& GetResultWriter() const { return m_resultWriter; }
    bool AppendResultLine(int nLineKind, const QString& strPath, const QString& strText,
                          QString* pstrError = nullptr) const;
    QString MakeFileNameFromDsn(int nIndex);
    QString GetDefaultResultPath(int nIndex, int nKind);

    // Companion files beside the executable, in the user's language.
    QString GetDocumentPath(int nKind) const;
    bool OpenWithAssociatedProgram(const QString& strPath);
    // The help command: opens the help document when there is one.
    bool OpenHelp();
    void SetShellOpener(std::unique_ptr<CShellOpener> pOpener);

    // Titles of the compared databases. The schema text is the one shown by
    // that side's selection form; an empty one leaves the data source name alone.
    QString GetDatabaseTitle(int nSide, const QString& strSchema);
    QString GetCompareTitle(const QString& strLeftSchema, const QString& strRightSchema);

    // Temporary comparison result files (RESULT_FILE_TABLES, RESULT_FILE_ALIASES).
    QFile* CreateResultFile(int nWhich);
    void DeleteResultFile(int nWhich);
    QFile* GetResultFile(int nWhich);

    // The comparisons of the left and right data sources with the current
    // options: worker-thread bodies, true when they ran to the end. After a
    // false result the engine's GetFailure() tells a failure from a cancel.
    bool CompareTables(CMessageTarget* pDlg) { return m_tableComparison.CompareTables(pDlg); }
    bool CompareAliases(CMessageTarget* pDlg) { return m_aliasComparison.CompareAliases(pDlg); }
    // Their results, read by the result windows, the exports and the command line.
    CTableComparison& GetTableComparison() { return m_tableComparison; }
    CAliasComparison& GetAliasComparison() { return m_aliasComparison; }

    // The open comparison window, or null; the window records itself when
    // it opens and forgets itself when it goes.
    void SetMainFrame(IComparisonWindow* pFrame) { m_pMainFrame = pFrame; }
    IComparisonWindow* GetMainFrame() const { return m_pMainFrame; }
    // Routed to the open comparison window, when there is one.
    void EnableDBSelection(bool bEnable);
    void UpdateLaunchButtons();
    // The open table structure windows; each records itself when it opens
    // and forgets itself when it goes.
    void AddStructureWindow(ITableStructureWindow* pWindow);
    void RemoveStructureWindow(ITableStructureWindow* pWindow);
    const std::vector<ITableStructureWindow*>& GetStructureWindows() const { return m_arrStructureWindows; }
    // A key pressed anywhere in the application goes first to the open
    // comparison window, then to each open table structure window; true
    // when one of them used it.
    bool PreTranslateKeyDown(int nKey);

    // A connection attempt that was abandoned while its driver still waits
    // for its server: kept until it ends (it closes its connection then),
    // so the window that started it may go at once. The application waits
    // for those still running when it ends.
    void KeepAbandonedAttempt(std::unique_ptr<CConnectAttempt> pAttempt);
    size_t GetAbandonedAttemptCount();

private:
    CCompareResultFile* ResultFileOf(int nWhich);

    CDBData m_db[3];
    QString m_strLanguage = QStringLiteral("ENG");
    QString m_strCountry;
    CSettingsStore m_settings;
    CZembraParam m_param;
    CStatOptions m_statOptions;
    CResultLineWriter m_resultWriter{m_statOptions};
    std::unique_ptr<CShellOpener> m_pOpener = std::make_unique<CShellOpener>();
    CCompareResultFile m_tableResults{QStringLiteral("BFDB")};
    CCompareResultFile m_aliasResults{QStringLiteral("BFDD")};
    // Built after the data sources, the options and the result files they use.
    CTableComparison m_tableComparison{m_db[DB_LEFT], m_db[DB_RIGHT], m_param, m_tableResults};
    CAliasComparison m_aliasComparison{m_db[DB_LEFT], m_db[DB_RIGHT], m_param, m_aliasResults};
    IComparisonWindow* m_pMainFrame = nullptr;
    std::vector<ITableStructureWindow*> m_arrStructureWindows;
    // Declared last, so destroyed first: an attempt still running holds a
    // data source object of its own only.
    std::vector<std::unique_ptr<CConnectAttempt>> m_arrAbandonedAttempts;
};
