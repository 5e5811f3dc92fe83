#pragma once

#include <QLocale>
#include <QString>

// The interface language is chosen once for the whole run from the user's
// language code and country (see IsFrenchLanguage); French resources carry
// the base identifier, English ones the base identifier + 1000.

// The user's three-letter language code in its Windows form (FRA, FRB, ENU,
// ...) and, in strCountry, the English name of the locale's territory. The
// C locale gives "ENG" and an empty country. The system locale follows the
// environment (LC_ALL, LC_MESSAGES, LANG), which is how the command line and
// tests choose another language.
QString GetUserLanguage(QString& strCountry, const QLocale& locale = QLocale::system());

bool IsFrenchLanguage(const QString& strLanguage, const QString& strCountry);

// Sets the language of the whole run; called once at start-up (and by tests).
void SetInterfaceLanguage(const QString& strLanguage, const QString& strCountry);
bool IsInterfaceFrench();

int MapResourceId(int nId);

// Loads string nId by the language rule; a missing English string falls back
// to the French one, a string missing in both loads as empty text.
void LoadLangString(QString& strText, int nId);
QString LoadLangString(int nId);
