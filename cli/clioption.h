#pragma once

#include <QList>

// What the value of an option names, for the shell's completion: a word of
// its value name ("fr|en"), a data source, a file or a folder.
enum class CliValueKind
{
    Text,
    Choice,
    DataSource,
    File,
    Folder,
};

// One option of a command: its name without the dashes, the name of its
// value (null for a flag), whether it may be given more than once, its
// help text and what its value names.
struct CliOption
{
    const char* pszName;
    const char* pszValue;
    bool bRepeatable;
    const char* pszHelp;
    CliValueKind valueKind = CliValueKind::Text;
};

using CliOptionList = QList<CliOption>;
