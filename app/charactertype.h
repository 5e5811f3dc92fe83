#pragma once

// Makes the C library's character type (LC_CTYPE) UTF-8 when the user's
// locale is not (LANG=C from cron, ssh or a container, or a locale that is
// not generated): the ODBC driver manager converts names with it, and names
// in any Unicode character must pass whatever the locale. Only LC_CTYPE
// changes; the language still follows the user's locale. Call it once the
// application object exists (its constructor sets the locale from the
// environment again) and before the first connection. False when no UTF-8
// locale is available.
bool EnsureUtf8CharacterType();
