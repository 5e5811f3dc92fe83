#include "app/resultfilechecks.h"

#include "app/formattext.h"
#include "app/prompt.h"
#include "app/resultlinewriter.h"
#include "res/stringids.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

QString ShownPath(const QString& strPath)
{
    return QDir::toNativeSeparators(strPath);
}

}  // namespace

CResultFileChecks::CResultFileChecks(CPrompt& prompt, const CResultLineWriter& writer)
    : m_prompt(prompt), m_writer(writer)
{
}

bool CResultFileChecks::PrepareResultFile(const QString& strPath, int nLineKind)
{
    if (QFileInfo::exists(strPath)
        && !m_prompt.Confirm(FormatLangString(StringId::ConfirmReplaceFile, {ShownPath(strPath)})))
        return false;
    QString strReason;
    if (!m_writer.AppendResultLine(nLineKind, strPath, QString(), &strReason)) {
        m_prompt.ShowMessage(FormatLangString(StringId::CannotOpenFileReason, {ShownPath(strPath), strReason}),
                             CPrompt::Ok);
        return false;
    }
    // A file that stays would have the new lines appended to the old ones.
    QFile file(strPath);
    if (!file.remove()) {
        ReportLineFailure(strPath, file.errorString());
        return false;
    }
    return true;
}

bool CResultFileChecks::ConfirmDeleteResultFile(const QString& strPath)
{
    if (!QFileInfo(strPath).isFile())
        return false;
    if (!m_prompt.Confirm(FormatLangString(StringId::ConfirmDeleteFile, {ShownPath(strPath)})))
        return false;
    return QFile::remove(strPath);
}

void CResultFileChecks::ReportLineFailure(const QString& strPath, const QString& strReason)
{
    m_prompt.ShowMessage(FormatLangString(StringId::CannotWriteFileReason, {ShownPath(strPath), strReason}),
                         CPrompt::Ok);
}
