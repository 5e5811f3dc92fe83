#pragma once

#include "controls/imagefile.h"
#include "controls/tvrcommondialog.h"

#include <QDateTime>
#include <QFont>

#include <memory>

class CStaticLink;

// The about box: product name, version and copyright on the dark ground,
// the icon and the logo, the maker's web link and the three documents.
class CAboutDlg : public CTvrCommonDialog
{
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* pParent = nullptr);
    ~CAboutDlg() override;

    int LayoutOkCancel(int cx, int cy, int& nButtonHeight) override;

    // The copyright text with its years running from the first release to
    // the year of modified; the template text when modified is not valid.
    static QString FormatCopyright(const QString& strTemplate, const QDateTime& modified);
    static constexpr int kFirstReleaseYear = 2019;

    std::unique_ptr<QBrush> m_pHeaderBrush;
    CStaticLink* m_linkWeb = nullptr;
    std::unique_ptr<QFont> m_pTitleFont;
    std::unique_ptr<QFont> m_pVersionFont;
    std::unique_ptr<QFont> m_pLinkFont;
    std::unique_ptr<CImageFile> m_pIconImage;
    std::unique_ptr<CImageFile> m_pLogoImage;

protected:
    void PreInit() override;
    bool OnInitDialog() override;
    void OnCommand(int nId) override;
    void OnEraseBkgnd(QPainter& painter) override;

private:
    void DrawTitle(QPainter& painter);
};
