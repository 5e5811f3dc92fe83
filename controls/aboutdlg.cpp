#include "controls/aboutdlg.h"

#include "app/formattext.h"
#include "app/language.h"
#include "app/shellfunctions.h"
#include "controls/dialogbuilder.h"
#include "controls/staticlink.h"
#include "controls/windowfunctions.h"
#include "res/stringids.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QPainter>

namespace {

const QColor kDarkBlue(29, 41, 75);
const QColor kLightBlue(141, 210, 239);

std::unique_ptr<CImageFile> LoadPicture(int nKind)
{
    auto pImage = std::make_unique<CImageFile>();
    if (!pImage->Load(CompanionFilePath(nKind)))
        pImage.reset();
    return pImage;
}

// The documents of buttons 527, 525 and 526.
int DocumentOf(int nId)
{
    switch (nId) {
    case IDC_RELEASE:
        return DOC_RELEASE;
    case IDC_CONDITIONS:
        return DOC_CLUF;
    case IDC_HELP_DOC:
        return DOC_HELP;
    default:
        return -1;
    }
}

}  // namespace

CAboutDlg::CAboutDlg(QWidget* pParent)
    : CTvrCommonDialog(MapResourceId(DialogId::About), pParent),
      m_pIconImage(LoadPicture(DOC_ICON)),
      m_pLogoImage(LoadPicture(DOC_LOGO))
{
}

CAboutDlg::~CAboutDlg() = default;

int CAboutDlg::LayoutOkCancel(int, int, int&)
{
    return -1;
}

void CAboutDlg::PreInit()
{
    if (!m_pBkBrush)
        m_pBkBrush = std::make_unique<QBrush>(kDarkBlue);
    if (!m_pHeaderBrush)
        m_pHeaderBrush = std::make_unique<QBrush>(kLightBlue);
}

QString CAboutDlg::FormatCopyright(const QString& strTemplate, const QDateTime& modified)
{
    const QString strFirst = QString::number(kFirstReleaseYear);
    if (!modified.isValid() || modified.date().year() <= kFirstReleaseYear || !strTemplate.contains(strFirst))
        return strTemplate;
    QString strText = strTemplate;
    return strText.replace(strText.indexOf(strFirst), strFirst.size(),
                           strFirst + u'-' + QString::number(modified.date().year()));
}

bool CAboutDlg::OnInitDialog()
{
    CTvrCommonDialog::OnInitDialog();
    if (parentWidget() != nullptr)
        setWindowIcon(parentWidget()->window()->windowIcon());
    setWindowTitle(windowTitle() + u' ' + LoadLangString(StringId::ProductName));

    // Static texts in white on the dark ground.
    for (QLabel* pLabel : findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
        QPalette palette = pLabel->palette();
        palette.setColor(QPalette::WindowText, Qt::white);
        pLabel->setPalette(palette);
    }

    if (auto* pCopyright = FindDlgItem<QLabel>(this, IDC_COPYRIGHT)) {
        const QFileInfo executable(QCoreApplication::applicationFilePath());
        pCopyright->setText(FormatCopyright(pCopyright->text(), executable.exists() ? executable.lastModified()
                                                                                       : QDateTime()));
    }

    for (int nId : {IDC_RELEASE, IDC_CONDITIONS, IDC_HELP_DOC}) {
        if (QWidget* pButton = GetDlgItem(nId); pButton && CompanionFilePath(DocumentOf(nId)).isEmpty())
            EnableControl(pButton, false);
    }

    m_linkWeb = FindDlgItem<CStaticLink>(this, IDC_WEBLINK);
    if (m_linkWeb) {
        const QString strAddress = MakerWebAddress();
        const qsizetype nScheme = strAddress.indexOf(QStringLiteral("//"));
        m_linkWeb->m_strURL = strAddress;
        m_linkWeb->setText(nScheme >= 0 ? strAddress.mid(nScheme + 2) : strAddress);
        if (!m_pLinkFont) {
            m_pLinkFont = std::make_unique<QFont>(m_linkWeb->font());
            m_pLinkFont->setWeight(QFont::Bold);
        }
        m_linkWeb->setFont(*m_pLinkFont);
    }

    if (auto* pVersion = FindDlgItem<QLabel>(this, IDC_VERSION)) {
        pVersion->setText(FormatText(pVersion->text(), {GetProductVersion()}));
        if (!m_pVersionFont) {
            m_pVersionFont = std::make_unique<QFont>(pVersion->font());
            m_pVersionFont->setWeight(QFont::Bold);
            const int nPixels = QFontMetrics(pVersion->font()).height();
            m_pVersionFont->setPixelSize(MulDiv(nPixels, 5, 4));
        }
        pVersion->setFont(*m_pVersionFont);
    }

    m_pTitleFont = std::make_unique<QFont>(Builder()->DialogFont());
    m_pTitleFont->setFamily(QStringLiteral("Alegreya Sans"));
    m_pTitleFont->setWeight(QFont::Bold);
    m_pTitleFont->setPixelSize(29);

    CenterWindow();
    return true;
}

void CAboutDlg::OnCommand(int nId)
{
    const int nKind = DocumentOf(nId);
    if (nKind < 0) {
        CTvrCommonDialog::OnCommand(nId);
        return;
    }
    if (const QString strPath = CompanionFilePath(nKind); !strPath.isEmpty())
        OpenDocument(strPath);
}

void CAboutDlg::OnEraseBkgnd(QPainter& painter)
{
    CTvrCommonDialog::OnEraseBkgnd(painter);
    painter.fillRect(QRect(0, 0, width(), 68), *m_pHeaderBrush);
    if (m_pIconImage)
        m_pIconImage->Draw(painter, 17, 17, 113, 113, true);
    if (m_pTitleFont)
        DrawTitle(painter);
    const QWidget* pLink = GetDlgItem(IDC_WEBLINK);
    const QWidget* pRelease = GetDlgItem(IDC_RELEASE);
    const QWidget* pOk = GetDlgItem(IDOK);
    if (m_pLogoImage && pLink && pRelease && pOk)
        m_pLogoImage->Draw(painter, pLink->x(), pRelease->y(), pOk->geometry().right() + 1, pOk->y(), true);
}

void CAboutDlg::DrawTitle(QPainter& painter)
{
    const QString strProduct = LoadLangString(StringId::ProductName);
    const QString strFirst = strProduct.section(u' ', 0, 0);
    const QString strSecond = strProduct.section(u' ', 1);
    painter.save();
    painter.setFont(*m_pTitleFont);
    const QFontMetrics metrics(*m_pTitleFont);
    const auto drawPass = [&](int nShift, const QColor& colour) {
        painter.setPen(colour);
        // First word on the top edge, second word on the bottom edge of the 65-pixel strip.
        painter.drawText(QRect(105 + nShift, nShift, width() - 105, metrics.height()),
                         Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip, strFirst);
        painter.drawText(QRect(105 + nShift, nShift, width() - 105, 65),
                         Qt::AlignHCenter | Qt::AlignBottom | Qt::TextSingleLine | Qt::TextDontClip, strSecond);
    };
    drawPass(2, kDarkBlue);
    drawPass(0, Qt::white);
    painter.restore();
}
