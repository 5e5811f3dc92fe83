#pragma once

#include <QString>

#include <cstdio>

// Lines of the command line: results on stdout, messages on stderr (UTF-8).
inline void PrintLine(const QString& strLine)
{
    std::fputs(strLine.toUtf8().append('\n').constData(), stdout);
}

inline void PrintError(const QString& strLine)
{
    std::fflush(stdout);
    std::fputs(strLine.toUtf8().append('\n').constData(), stderr);
}
