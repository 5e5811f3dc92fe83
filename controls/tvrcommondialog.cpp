#include "controls/tvrcommondialog.h"

#include "app/qalmetapp.h"
#include "app/settingsstore.h"
#include "app/shellfunctions.h"
#include "controls/dialogbuilder.h"
#include "controls/logobutton.h"
#include "controls/windowfunctions.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

namespace {

const QColor kBandColor(205, 212, 218);
const QColor kBandLineColor(231, 75, 20);

}  // namespace

CTvrCommonDialog::CTvrCommonDialog(int nTemplateId, QWidget* pParent)
    : QDialog(pParent),
      m_nTemplateId(nTemplateId)
{
    if (const DialogTemplate* pTemplate = FindDialogTemplate(nTemplateId))
        m_pBuilder = std::make_unique<CDialogBuilder>(*pTemplate, nTemplateId);
}

CTvrCommonDialog::~CTvrCommonDialog() = default;

CSettingsStore& CTvrCommonDialog::Settings() const
{
    if (CQalmetApp* pApp = CQalmetApp::GetInstance())
        return pApp->GetSettings();
    static CSettingsStore store;
    return store;
}

bool CTvrCommonDialog::Create()
{
    if (m_bCreated)
        return true;
    if (!m_pBuilder)
        return false;
    m_bCreated = true;
    PreInit();
    const DialogTemplate& dialog = m_pBuilder->Template();
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint;
    if (!(dialog.nFlags & DLG_NOCAPTION))
        flags |= Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (dialog.nFlags & DLG_RESIZABLE)
        flags |= Qt::WindowMaximizeButtonHint | Qt::WindowMinimizeButtonHint;
    setWindowFlags(flags);
    setSizeGripEnabled(false);
    m_pBuilder->Build(this, [this](const ControlTemplate& control, QWidget* pParent) {
        return CreateControl(control, pParent);
    });
    if (dialog.nFlags & DLG_RESIZABLE)
        resize(m_pBuilder->DialogSize());
    else
        setFixedSize(m_pBuilder->DialogSize());
    for (QAbstractButton* pButton : findChildren<QAbstractButton*>(Qt::FindDirectChildrenOnly)) {
        const int nId = CDialogBuilder::ControlId(pButton);
        connect(pButton, &QAbstractButton::clicked, this, [this, nId] { OnCommand(nId); });
    }
    OnInitDialog();
    return true;
}

int CTvrCommonDialog::DoModal()
{
    if (!Create())
        return -1;
    return exec();
}

void CTvrCommonDialog::EndDialog(int nResult)
{
    done(nResult);
}

void CTvrCommonDialog::done(int nResult)
{
    // The size is written once, when the dialog ends.
    if (!m_bSizeSaved && m_bCreated) {
        m_bSizeSaved = true;
        SaveSize();
    }
    QDialog::done(nResult);
}

QWidget* CTvrCommonDialog::GetDlgItem(int nId) const
{
    return CDialogBuilder::FindControl(this, nId);
}

bool CTvrCommonDialog::IsResizable() const
{
    return m_pBuilder && (m_pBuilder->Template().nFlags & DLG_RESIZABLE);
}

bool CTvrCommonDialog::OnInitDialog()
{
    if (GetBandButton() != nullptr)
        m_pLogo = dynamic_cast<CLogoButton*>(GetDlgItem(524));
    if (IsResizable() && parentWidget() != nullptr)
        setWindowIcon(parentWidget()->window()->windowIcon());
    return true;
}

void CTvrCommonDialog::PreInit()
{
}

QWidget* CTvrCommonDialog::GetBandButton() const
{
    return nullptr;
}

QWidget* CTvrCommonDialog::CreateControl(const ControlTemplate&, QWidget*)
{
    return nullptr;
}

void CTvrCommonDialog::OnOK()
{
    EndDialog(QDialog::Accepted);
}

void CTvrCommonDialog::OnCancel()
{
    EndDialog(2);
}

void CTvrCommonDialog::OnClose()
{
    OnCancel();
}

void CTvrCommonDialog::OnCommand(int nId)
{
    if (nId == 1)
        OnOK();
    else if (nId == 2)
        OnCancel();
}

int CTvrCommonDialog::LayoutOkCancel(int cx, int cy, int& nButtonHeight)
{
    QWidget* pOk = GetDlgItem(1);
    QWidget* pCancel = GetDlgItem(2);
    if (pOk == nullptr && pCancel == nullptr)
        return -1;
    const QWidget* pReference = pOk ? pOk : pCancel;
    const int w = pReference->width();
    const int h = pReference->height();
    const int m = MulDiv(h, 1, 3);
    QList<QWidget*> visible;
    for (QWidget* pButton : {pOk, pCancel}) {
        if (pButton != nullptr && !pButton->isHidden())
            visible.append(pButton);
    }
    const int n = int(visible.size());
    const int s = cx - n * w;
    const int g = std::min(s / (n + 1), w);
    int x = (s - (n - 1) * g) / 2;
    for (QWidget* pButton : visible) {
        pButton->setGeometry(x, cy - m - h, w, h);
        x += w + g;
    }
    nButtonHeight = h;
    return m;
}

void CTvrCommonDialog::RecalcLayout(int, int)
{
}

QString CTvrCommonDialog::GetSizeKey() const
{
    return CSettingsStore::GetDialogSizeSection(m_nTemplateId);
}

void CTvrCommonDialog::LayoutBand(int cx, int cy)
{
    const QWidget* pButton = GetBandButton();
    if (pButton == nullptr)
        return;
    const QRect button = pButton->geometry();
    m_nBandTop = button.top() + (button.bottom() + 1) - cy;
    if (m_pLogo)
        m_pLogo->setGeometry(cx - button.left() - 200, cy - 45 - (cy - m_nBandTop - 45) / 2, 200, 45);
}

void CTvrCommonDialog::CenterWindow()
{
    QRect area;
    if (parentWidget() != nullptr && parentWidget()->window()->isVisible())
        area = parentWidget()->window()->geometry();
    else if (const QScreen* pScreen = screen() ? screen() : QGuiApplication::primaryScreen())
        area = pScreen->availableGeometry();
    if (area.isValid())
        move(area.x() + (area.width() - frameGeometry().width()) / 2, area.y() + (area.height() - frameGeometry().height()) / 2);
}

void CTvrCommonDialog::RestoreSize(const QString& strDefault)
{
    if (!IsResizable())
        return;
    QString strSize;
    bool bZoomed = false;
    Settings().LoadDialogSize(m_nTemplateId, strDefault, strSize, bZoomed);
    const qsizetype nX = strSize.indexOf(u'x');
    if (nX >= 0) {
        // Like _wtol: leading digits only, anything else is 0.
        const auto toLong = [](QStringView text) {
            qsizetype n = 0;
            while (n < text.size() && text[n].isDigit())
                ++n;
            return n == 0 ? 0 : text.left(n).toInt();
        };
        const int cx = toLong(QStringView(strSize).left(nX).trimmed());
        const int cy = toLong(QStringView(strSize).mid(nX + 1).trimmed());
        if (cx > 0 && cy > 0) {
            resize(cx, cy);
            CenterWindow();
        }
    }
    if (bZoomed)
        setWindowState(windowState() | Qt::WindowMaximized);
    RecalcLayout(width(), height());
}

void CTvrCommonDialog::SaveSize()
{
    if (!IsResizable())
        return;
    const bool bZoomed = isMaximized();
    const QSize size = bZoomed ? normalGeometry().size() : this->size();
    Settings().SaveDialogSize(m_nTemplateId, QStringLiteral("%1x%2").arg(size.width()).arg(size.height()), bZoomed);
}

void CTvrCommonDialog::OnEraseBkgnd(QPainter& painter)
{
    painter.fillRect(rect(), m_pBkBrush ? *m_pBkBrush : palette().brush(QPalette::Window));
    if (m_pLogo && m_nBandTop > 0) {
        painter.fillRect(QRect(0, m_nBandTop, width(), height() - m_nBandTop), kBandColor);
        painter.setPen(QPen(kBandLineColor, 2));
        painter.drawLine(0, m_nBandTop, width(), m_nBandTop);
    }
}

void CTvrCommonDialog::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    OnEraseBkgnd(painter);
}

void CTvrCommonDialog::resizeEvent(QResizeEvent* pEvent)
{
    QDialog::resizeEvent(pEvent);
    if (m_bCreated)
        RecalcLayout(width(), height());
}

void CTvrCommonDialog::keyPressEvent(QKeyEvent* pEvent)
{
    switch (pEvent->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Enter clicks the focused push button, else it is the OK command.
        if (auto* pButton = qobject_cast<QPushButton*>(focusWidget()); pButton && pButton->isEnabled())
            pButton->click();
        else
            OnOK();
        return;
    case Qt::Key_Escape:
        OnCancel();
        return;
    case Qt::Key_F1:
        // Without a help document F1 does nothing.
        if (const QString strPath = CompanionFilePath(DOC_HELP); !strPath.isEmpty())
            OpenDocument(strPath);
        return;
    default:
        QDialog::keyPressEvent(pEvent);
    }
}

void CTvrCommonDialog::closeEvent(QCloseEvent* pEvent)
{
    // The dialog ends only through its own commands.
    if (isVisible()) {
        pEvent->ignore();
        OnClose();
        return;
    }
    QDialog::closeEvent(pEvent);
}
