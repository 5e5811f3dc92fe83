#pragma once

#include <QString>

// A schema is keyed catalog + "." + owner; either part may be empty, the full
// stop is always there. Keys compare exactly (case-sensitive).

inline QString MakeSchemaKey(const QString& strCatalog, const QString& strOwner)
{
    return strCatalog + QLatin1Char('.') + strOwner;
}

// Splits at the first full stop; a key without one is a catalog alone.
inline void SplitSchemaKey(const QString& strKey, QString& strCatalog, QString& strOwner)
{
    const qsizetype nDot = strKey.indexOf(QLatin1Char('.'));
    if (nDot < 0) {
        strCatalog = strKey;
        strOwner.clear();
        return;
    }
    strCatalog = strKey.left(nDot);
    strOwner = strKey.mid(nDot + 1);
}

inline bool SchemaKeysEqual(const QString& strKey1, const QString& strKey2)
{
    return strKey1 == strKey2;
}

struct SchemaKeyParts
{
    QString strCatalog;
    QString strOwner;
};

inline SchemaKeyParts SplitSchemaKey(const QString& strKey)
{
    SchemaKeyParts parts;
    SplitSchemaKey(strKey, parts.strCatalog, parts.strOwner);
    return parts;
}
