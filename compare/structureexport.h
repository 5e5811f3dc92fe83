#pragma once

#include "db/columninfo.h"
#include "db/indexinfo.h"

class CExportFile;
class CZembraParam;

// The export of one table's structure: with option 0 its fields (name;type
// text) in catalog order followed by two line breaks, with option 1 its
// indexes, one line per key column (index name on the first only;field;
// order word). True when the file is complete.
bool WriteTableStructure(CExportFile& file, const CZembraParam& options, const CColumnInfoArray& arrFields,
                         const CIndexInfoArray& arrIndexes);
