#pragma once

#include <QString>

#include <initializer_list>

// Fills the printf-style "%s" and "%d" markers of a string resource, in
// order, with already formatted arguments ("%%" gives "%"). Other percent
// sequences, such as "%LDB%", stay as they are. Markers without an argument
// are left in place rather than read past the list.
QString FormatText(const QString& strFormat, std::initializer_list<QString> args);

// LoadLangString of nId, then FormatText.
QString FormatLangString(int nId, std::initializer_list<QString> args);
