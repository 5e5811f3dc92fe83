#include "views/zembraformview.h"

#include "app/formattext.h"
#include "app/language.h"
#include "app/resultfilenames.h"
#include "app/settingsstore.h"
#include "compare/exportfile.h"
#include "controls/dialogbuilder.h"
#include "controls/guiprompt.h"
#include "controls/logobutton.h"
#include "controls/waitcursor.h"
#include "controls/windowfunctions.h"
#include "res/dialogtemplates.h"
#include "res/stringids.h"
#include "views/exportfilechooser.h"

#include <QAbstractButton>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QSaveFile>

#include <algorithm>

namespace {

// Filter of the save dialog: the description names its pattern already
// when it ends with it.
QString ExportFilter(const QString& strDescription, const QString& strExtension)
{
    const QString strPattern = QStringLiteral("(*.%1)").arg(strExtension);
    return strDescription.endsWith(strPattern) ? strDescription : strDescription + u' ' + strPattern;
}

}  // namespace

CZembraFormView::CZembraFormView(int nTemplateId, QWidget* pParent) : QWidget(pParent)
{
    if (const DialogTemplate* pTemplate = FindDialogTemplate(nTemplateId))
        m_pBuilder = std::make_unique<CDialogBuilder>(*pTemplate, nTemplateId);
}

CZembraFormView::CZembraFormView(const DialogTemplate& dialog, int nResourceId, QWidget* pParent)
    : QWidget(pParent),
      m_pBuilder(std::make_unique<CDialogBuilder>(dialog, nResourceId))
{
}

CZembraFormView::~CZembraFormView() = default;

bool CZembraFormView::Create()
{
    if (m_bCreated)
        return true;
    if (!m_pBuilder)
        return false;
    m_bCreated = true;
    m_pBuilder->Build(this, [this](const ControlTemplate& control, QWidget* pParent) {
        return CreateControl(control, pParent);
    });
    for (QAbstractButton* pButton : findChildren<QAbstractButton*>(Qt::FindDirectChildrenOnly)) {
        const int nId = CDialogBuilder::ControlId(pButton);
        connect(pButton, &QAbstractButton::clicked, this, [this, nId] { OnCommand(nId); });
    }
    // A form placed by its frame keeps the frame's size.
    if (!testAttribute(Qt::WA_Resized))
        resize(m_pBuilder->DialogSize());
    OnInitialUpdate();
    RecalcLayout(width(), height());
    return true;
}

QWidget* CZembraFormView::GetDlgItem(int nId) const
{
    return CDialogBuilder::FindControl(this, nId);
}

void CZembraFormView::OnInitialUpdate()
{
    if (GetExportButton() != nullptr && !m_bInitDone)
        AttachLogo();
    m_bInitDone = true;
}

void CZembraFormView::AttachLogo()
{
    m_pLogo = FindDlgItem<CLogoButton>(this, IDC_LOGO);
    // A picture says nothing to a screen reader: the logo is named by the
    // address it opens.
    if (m_pLogo != nullptr)
        m_pLogo->setAccessibleName(m_pLogo->m_strURL);
}

QWidget* CZembraFormView::CreateControl(const ControlTemplate&, QWidget*)
{
    return nullptr;
}

void CZembraFormView::OnCommand(int nId)
{
    if (nId == IDC_EXPORT)
        OnExport();
}

QWidget* CZembraFormView::GetExportButton() const
{
    return nullptr;
}

void CZembraFormView::RecalcLayout(int cx, int cy)
{
    QWidget* pExport = GetExportButton();
    if (pExport == nullptr || m_pLogo == nullptr)
        return;
    // The band holds the button with its margins and the logo whole: a
    // band only as high as a one-line button would cut the logo at the
    // form's edge and lay it over the band's top line.
    const int nBandHeight = std::max(pExport->height() + 2 * kMargin, kLogoHeight + 2 * kLogoMargin);
    m_nBandTop = cy - nBandHeight;
    pExport->move(kMargin, m_nBandTop + (nBandHeight - pExport->height()) / 2);
    // Centred in the band, 9 pixels from the right edge.
    m_pLogo->setGeometry(cx - kMargin - kLogoWidth, m_nBandTop + (nBandHeight - kLogoHeight) / 2, kLogoWidth,
                         kLogoHeight);
}

bool CZembraFormView::PrepareExport()
{
    return false;
}

QString CZembraFormView::GetExportName() const
{
    return QString();
}

bool CZembraFormView::WriteExport(CExportFile&)
{
    return false;
}

QString CZembraFormView::GetExportFolder()
{
    return GetExistingFolder(QString());
}

QString CZembraFormView::MakeExportPath(const QString& strFolder, const QString& strName,
                                        const QString& strExtension)
{
    QString strPath = strFolder;
    if (!HasTrailingSeparator(strPath))
        strPath += u'/';
    QString strFileName = strName;
    strFileName.replace(u'.', u'_').replace(u'/', u'-');
    return strPath + strFileName + u'.' + strExtension;
}

bool CZembraFormView::ChooseExportFile(QString& strPath, const QString& strExtension, QWidget* pOwner)
{
    QString strChosen = strPath;
    if (HasTrailingSeparator(strChosen))
        strChosen.chop(1);
    const QString strFilter = ExportFilter(LoadLangString(StringId::FilterCsv), strExtension);
    if (!CExportFileChooser::Current().ChooseSaveFile(strChosen, strFilter, strExtension, pOwner))
        return false;
    if (QFileInfo(strChosen).suffix().isEmpty())
        strChosen += u'.' + strExtension;
    strPath = strChosen;
    return true;
}

void CZembraFormView::OnExport()
{
    if (!PrepareExport())
        return;
    const QString strExtension = QStringLiteral("csv");
    QString strPath = MakeExportPath(GetExportFolder(), GetExportName(), strExtension);
    if (!ChooseExportFile(strPath, strExtension, this))
        return;

    // Written beside the chosen file and put in its place only when
    // complete: a failed export leaves neither a partial file nor a
    // damaged previous one. Unbuffered, since the export file gathers its
    // lines itself and a write cut short then reports the system's reason.
    const QString strShownPath = QDir::toNativeSeparators(strPath);
    QSaveFile file(strPath);
    QString strMessage;
    bool bWritten = false;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        strMessage = FormatLangString(StringId::CannotWriteFile, {strShownPath}) + u'\n' + file.errorString();
    } else {
        CWaitCursor waitCursor;
        CExportFile exportFile(file);
        bWritten = WriteExport(exportFile) && exportFile.Finish();
        QString strReason = exportFile.IsOk() ? QString() : exportFile.GetErrorText();
        if (bWritten && !file.commit()) {
            bWritten = false;
            strReason = file.errorString();
        }
        if (!strReason.isEmpty())
            strMessage = FormatLangString(StringId::CannotWriteFileReason, {strShownPath, strReason});
    }
    if (!strMessage.isEmpty())
        CGuiPrompt().ShowMessage(strMessage, CPrompt::Ok);
    if (bWritten)
        OpenDocument(strPath);
}

void CZembraFormView::OnDraw(QPainter& painter)
{
    if (m_pLogo == nullptr || m_nBandTop <= 0)
        return;
    DrawBottomBand(painter, rect(), m_nBandTop);
}

void CZembraFormView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), m_pBkBrush ? *m_pBkBrush : palette().brush(QPalette::Window));
    OnDraw(painter);
}

void CZembraFormView::resizeEvent(QResizeEvent* pEvent)
{
    QWidget::resizeEvent(pEvent);
    if (m_bCreated)
        RecalcLayout(width(), height());
}
