#pragma once

#include <QString>

// Caption of alias attribute i (0 DTAT, 1 DTAS, 2 OWTP, 3 DTAD, 4 CDEC) in
// the interface language: the code with bCode, the description with bName,
// "code (description)" with both (the code alone when the description is
// empty). Empty for any other attribute number or when neither is asked.
QString GetAliasColumnTitle(int nAttribute, bool bCode, bool bName);
