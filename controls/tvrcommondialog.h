#pragma once

#include <QBrush>
#include <QDialog>

#include <memory>

class CDialogBuilder;
class CLogoButton;
class CSettingsStore;
struct ControlTemplate;

// The base of every dialog: built from its template, the OK and Cancel
// placement, the bottom band with the logo, the optional background brush
// and the remembered size of resizable dialogs.
class CTvrCommonDialog : public QDialog
{
    Q_OBJECT

public:
    // The template id is already mapped to the user's language.
    CTvrCommonDialog(int nTemplateId, QWidget* pParent);
    ~CTvrCommonDialog() override;

    // Builds the controls and runs OnInitDialog, once; false when the
    // template does not exist.
    bool Create();
    // Create, then the modal loop; the dialog's result.
    int DoModal();
    void EndDialog(int nResult);

    int GetTemplateId() const { return m_nTemplateId; }
    QWidget* GetDlgItem(int nId) const;
    bool IsResizable() const;
    int BandTop() const { return m_nBandTop; }
    CLogoButton* Logo() const { return m_pLogo; }
    const CDialogBuilder* Builder() const { return m_pBuilder.get(); }

    // OK and Cancel centred at the bottom; the bottom margin, or -1 when the
    // dialog has neither. nButtonHeight receives the buttons' height.
    virtual int LayoutOkCancel(int cx, int cy, int& nButtonHeight);
    virtual void RecalcLayout(int cx, int cy);
    // "DlgSize\" + template id: French and English sizes are kept apart.
    virtual QString GetSizeKey() const;
    virtual void PreInit();
    virtual QWidget* GetBandButton() const;
    virtual void LayoutBand(int cx, int cy);

    // Size from the settings (or strDefault, "812x400"), centred on the
    // parent, maximised when it was; does nothing for a fixed-size dialog.
    void RestoreSize(const QString& strDefault);
    // The restored (not maximised) size and the maximised state.
    void SaveSize();

protected:
    virtual bool OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    // The close box or Alt+F4.
    virtual void OnClose();
    // A button of the template was clicked.
    virtual void OnCommand(int nId);
    // A widget of the dialog's own for a template control, or null.
    virtual QWidget* CreateControl(const ControlTemplate& control, QWidget* pParent);
    virtual void OnEraseBkgnd(QPainter& painter);
    void CenterWindow();

    void paintEvent(QPaintEvent* pEvent) override;
    void resizeEvent(QResizeEvent* pEvent) override;
    void keyPressEvent(QKeyEvent* pEvent) override;
    void closeEvent(QCloseEvent* pEvent) override;
    void done(int nResult) override;

    CSettingsStore& Settings() const;

    std::unique_ptr<QBrush> m_pBkBrush;
    int m_nBandTop = -1;
    CLogoButton* m_pLogo = nullptr;   // owned by the dialog as its child

private:
    int m_nTemplateId;
    std::unique_ptr<CDialogBuilder> m_pBuilder;
    bool m_bCreated = false;
    bool m_bSizeSaved = false;
};
