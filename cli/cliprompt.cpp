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

}  // namespace

CPrompt::Answer CCliPrompt::ShowMessage(const QString& strText, Buttons buttons)
{
    QTextStream err(stderr);
    if (buttons == Ok) {
        ++m_nMessages;
        err << OneLine(strText) << Qt::endl;
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
        err << OneLine(strText) << " -- refused: not on a terminal, give --yes to answer yes" << Qt::endl;
    }
    m_bDeclined = true;
    return AnswerNo;
}
