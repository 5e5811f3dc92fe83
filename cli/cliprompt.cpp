#include "cli/cliprompt.h"

#include <QTextStream>

#include <cstdio>

#include <unistd.h>

namespace {

// A message box text on one line.
QString OneLine(const QString& strText)
{
    return strText.simplified();
}

// A line that says why the run fails, marked as the program's own.
QString FailureLine(const QString& strText)
{
    return QStringLiteral("kitvane-cli: ") + OneLine(strText);
}

}  // namespace

CPrompt::Answer CCliPrompt::ShowMessage(const QString& strText, Buttons buttons)
{
    QTextStream err(stderr);
    if (buttons == Ok) {
        ++m_nMessages;
        err << FailureLine(strText) << Qt::endl;
        return AnswerOk;
    }
    if (m_bYes)
        return AnswerYes;
    if (isatty(STDIN_FILENO) != 0 && isatty(STDERR_FILENO) != 0) {
        err << OneLine(strText) << " [y/N] " << Qt::flush;
        QTextStream in(stdin);
        const QString strAnswer = in.readLine().trimmed().toLower();
        if (strAnswer == QLatin1String("y") || strAnswer == QLatin1String("yes") || strAnswer == QLatin1String("o")
            || strAnswer == QLatin1String("oui"))
            return AnswerYes;
    } else {
        err << FailureLine(strText) << " -- refused: not on a terminal, give --yes to answer yes" << Qt::endl;
    }
    m_bDeclined = true;
    return AnswerNo;
}
