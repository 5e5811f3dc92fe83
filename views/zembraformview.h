#pragma once

#include <QBrush>
#include <QWidget>

#include <memory>

class CDialogBuilder;
class CExportFile;
class CLogoButton;
struct ControlTemplate;
struct DialogTemplate;

// The base of the comparison window's forms laid out from a dialog
// template: the bottom band with the export button on its left and the
// logo on its right, the optional background brush, and the whole export
// command, in which a derived form only prepares, names and writes its
// export.
class CZembraFormView : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kMargin = 9;
    static constexpr int kLogoWidth = 200;
    static constexpr int kLogoHeight = 45;
    static constexpr int kLogoMargin = 4;   // at least, above and below the logo in the band

    // The template id is already mapped to the user's language.
    explicit CZembraFormView(int nTemplateId, QWidget* pParent = nullptr);
    // A template that is not in the application's table, in the language
    // of nResourceId (its French id or the English one).
    CZembraFormView(const DialogTemplate& dialog, int nResourceId, QWidget* pParent = nullptr);
    ~CZembraFormView() override;

    // Builds the controls, runs the initial update and lays the form out,
    // once; false when the template does not exist.
    bool Create();
    QWidget* GetDlgItem(int nId) const;
    const CDialogBuilder* Builder() const { return m_pBuilder.get(); }
    int GetBandTop() const { return m_nBandTop; }
    CLogoButton* GetLogo() const { return m_pLogo; }

    // The export button of the form, or null for a form that never exports.
    virtual QWidget* GetExportButton() const;
    // Places the controls for a client area of cx by cy pixels; derived
    // forms call the base first, which places the export button and the logo.
    virtual void RecalcLayout(int cx, int cy);
    // Called first by the export command; false ends it without a word.
    virtual bool PrepareExport();
    // The default file name of the export, without folder and extension.
    virtual QString GetExportName() const;
    // Writes the export into the open file; true when it is complete.
    virtual bool WriteExport(CExportFile& file);

    // The folder first proposed for an export: the user's documents folder,
    // else the home folder; always one that exists.
    static QString GetExportFolder();
    // strFolder, a separator, strName with every "." replaced by "_" and
    // every "/" by "-", ".", strExtension.
    static QString MakeExportPath(const QString& strFolder, const QString& strName, const QString& strExtension);
    // Lets the user choose the file (strPath in: proposed, out: chosen);
    // the extension is added to a name without one. False when cancelled.
    static bool ChooseExportFile(QString& strPath, const QString& strExtension, QWidget* pOwner);

    // The export command (button 5020).
    void OnExport();

protected:
    // After the controls are built: the logo joins the band of a form that
    // exports.
    virtual void OnInitialUpdate();
    // A widget of the form's own for a template control, or null.
    virtual QWidget* CreateControl(const ControlTemplate& control, QWidget* pParent);
    // A button of the template was clicked.
    virtual void OnCommand(int nId);
    // Paints over the background: the band once it is laid out.
    virtual void OnDraw(QPainter& painter);
    // Takes control 524 as the form's logo; a form with a logo but no
    // export button calls it itself before the base initial update.
    void AttachLogo();

    void paintEvent(QPaintEvent* pEvent) override;
    void resizeEvent(QResizeEvent* pEvent) override;

    std::unique_ptr<QBrush> m_pBkBrush;  // null: the palette's window colour
    bool m_bInitDone = false;
    int m_nBandTop = -1;                 // -1 until laid out with a band
    CLogoButton* m_pLogo = nullptr;      // a child of the form

private:
    std::unique_ptr<CDialogBuilder> m_pBuilder;
    bool m_bCreated = false;
};
