#include "compare/structureexport.h"

#include "compare/exportfile.h"
#include "compare/zembraparam.h"

namespace {

const QString kSeparator = QStringLiteral(";");

}  // namespace

bool WriteTableStructure(CExportFile& file, const CZembraParam& options, const CColumnInfoArray& arrFields,
                         const CIndexInfoArray& arrIndexes)
{
    if (options.IsOptionSet(OPT_EXPORT_FIELD_LIST)) {
        for (const auto& pField : arrFields)
            file.WriteLine(pField->GetColumnText(0) + kSeparator + pField->GetColumnText(1));
        file.WriteLine();
        file.WriteLine();
    }
    if (options.IsOptionSet(OPT_EXPORT_INDEX_LIST)) {
        for (const auto& pIndex : arrIndexes) {
            for (int nRow = 0; nRow < pIndex->m_arrColumns.size(); ++nRow) {
                file.WriteLine(pIndex->GetColumnText(nRow, 0) + kSeparator + pIndex->GetColumnText(nRow, 1)
                               + kSeparator + pIndex->GetColumnText(nRow, 2));
            }
        }
    }
    return file.Finish();
}
