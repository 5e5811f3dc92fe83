#pragma once

#include <QString>
#include <QStringList>

// Companion files beside the executable.
enum DocumentKind : int
{
    DOC_RELEASE = 0,  // "Release" + language + ".txt"
    DOC_CLUF = 1,     // "Cluf" + language + ".txt"
    DOC_HELP = 2,     // "Help" + language + ".pdf"
    DOC_BTNINFO = 3,  // "BtnInfo.png"
    DOC_LOGO = 4,     // "Logo.png"
    DOC_ICON = 5,     // "Icon.png"
};

// Full path of a companion file in strFolder, or empty when it does not
// exist. Documents are looked for in the user's language, then "ENG" (not
// tried twice when the language is ENG in any case), then "FRA".
QString GetDocumentPath(int nKind, const QString& strFolder, const QString& strLanguage);

// The folders that may hold the companion files of an executable, in the
// order they are searched: the executable's own folder (a build folder),
// then the data folder of an installation, found relative to the executable
// (../share/kitvane from bin/), so an unpacked package works wherever it is.
QStringList GetCompanionFolders(const QString& strExecutableFolder);

// GetDocumentPath over GetCompanionFolders: the first folder holding the
// file wins; empty when none does.
QString FindCompanionFile(int nKind, const QString& strExecutableFolder, const QString& strLanguage);

// The product version text ("2.0.0").
QString GetProductVersion();
