#pragma once

#include <QList>

// One option of a command: its name without the dashes, the name of its
// value (null for a flag), whether it may be given more than once, and its
// help text.
struct CliOption
{
    const char* pszName;
    const char* pszValue;
    bool bRepeatable;
    const char* pszHelp;
};

using CliOptionList = QList<CliOption>;
