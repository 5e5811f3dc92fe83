#pragma once

#include <QString>

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

// The product version text ("2.0.0").
QString GetProductVersion();
