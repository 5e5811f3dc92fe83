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
    if (!m_writer.AppendResultLine(nLineKind, strPath, QString())) {
        m_prompt.ShowMessage(FormatLangString(StringId::CannotOpenFile, {ShownPath(strPath)}), CPrompt::Ok);
        return false;
    }
    // A file that stays would have the new lines appended to the old ones.
    if (!QFile::remove(strPath)) {
        ReportLineFailure(strPath);
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

void CResultFileChecks::ReportLineFailure(const QString& strPath)
{
    m_prompt.ShowMessage(FormatLangString(StringId::CannotWriteFile, {ShownPath(strPath)}), CPrompt::Ok);
}
