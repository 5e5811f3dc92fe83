#include "compare/structureexport.h"

#include "compare/exportfile.h"
#include "compare/zembraparam.h"

bool WriteTableStructure(CExportFile& file, const CZembraParam& options, const CColumnInfoArray& arrFields,
                         const CIndexInfoArray& arrIndexes)
{
    if (options.IsOptionSet(OPT_EXPORT_FIELD_LIST)) {
        for (const auto& pField : arrFields)
            file.WriteFields({pField->GetColumnText(0), pField->GetColumnText(1)});
        file.WriteLine();
        file.WriteLine();
    }
    if (options.IsOptionSet(OPT_EXPORT_INDEX_LIST)) {
        for (const auto& pIndex : arrIndexes) {
            for (int nRow = 0; nRow < pIndex->m_arrColumns.size(); ++nRow) {
                file.WriteFields({pIndex->GetColumnText(nRow, 0), pIndex->GetColumnText(nRow, 1),
                                  pIndex->GetColumnText(nRow, 2)});
            }
        }
    }
    return file.Finish();
}
