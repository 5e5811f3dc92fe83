#include "app/charactertype.h"

#include <QByteArray>
#include <QList>

#include <clocale>
#include <langinfo.h>

namespace {

bool CharacterTypeIsUtf8()
{
    const QByteArray codeset = QByteArray(nl_langinfo(CODESET)).toUpper();
    return codeset == "UTF-8" || codeset == "UTF8";
}

// The locale the environment names for the character type ("fr_FR" of
// "fr_FR.ISO-8859-15@euro"), empty for C and POSIX.
QByteArray LanguageAndTerritory()
{
    for (const char* pszVariable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const QByteArray value = qgetenv(pszVariable);
        if (value.isEmpty())
            continue;
        qsizetype nEnd = value.size();
        for (const char cStop : {'.', '@'}) {
            const qsizetype nStop = value.indexOf(cStop);
            if (nStop >= 0 && nStop < nEnd)
                nEnd = nStop;
        }
        const QByteArray base = value.left(nEnd);
        return base == "C" || base == "POSIX" ? QByteArray() : base;
    }
    return QByteArray();
}

}  // namespace

bool EnsureUtf8CharacterType()
{
    if (CharacterTypeIsUtf8())
        return true;
    // The user's own language and territory in UTF-8 first, then the
    // neutral UTF-8 locales.
    QList<QByteArray> candidates;
    const QByteArray base = LanguageAndTerritory();
    if (!base.isEmpty())
        candidates.append(base + ".UTF-8");
    candidates.append({"C.UTF-8", "C.utf8", "en_US.UTF-8"});
    for (const QByteArray& candidate : std::as_const(candidates)) {
        if (std::setlocale(LC_CTYPE, candidate.constData()) != nullptr && CharacterTypeIsUtf8())
            return true;
    }
    return false;
}
