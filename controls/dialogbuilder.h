#pragma once

#include "res/dialogtemplates.h"

#include <QFont>
#include <QRect>
#include <QSize>
#include <QString>

#include <functional>

class QWidget;

// Builds a dialog template into widgets: each control of its kind, with its
// text in the template's language, at its rectangle converted from dialog
// units by the dialog font, and tagged with its control id.
class CDialogBuilder
{
public:
    // The resource id chooses the language: the French id or the English
    // one (+ 1000) of the same template.
    CDialogBuilder(const DialogTemplate& dialog, int nResourceId);

    const DialogTemplate& Template() const { return m_dialog; }
    QFont DialogFont() const { return m_font; }
    // Horizontal and vertical dialog base units of the dialog font, in pixels.
    QSize BaseUnits() const { return m_baseUnits; }
    QRect MapDialogRect(const QRect& dialogUnits) const;
    QSize DialogSize() const;
    QString Caption() const;
    QString Text(const ControlTemplate& control) const;

    // Dialogs supply their own widget for a control by returning it here
    // (the platform's subclassing); null lets the builder choose.
    using Factory = std::function<QWidget*(const ControlTemplate&, QWidget* pParent)>;
    void Build(QWidget* pDialog, const Factory& factory = Factory()) const;

    static QSize ComputeBaseUnits(const QFont& font);
    static QWidget* FindControl(const QWidget* pDialog, int nId);
    // The control id of a widget built from a template, or 0.
    static int ControlId(const QWidget* pWidget);

private:
    QWidget* CreateControl(const ControlTemplate& control, QWidget* pParent) const;

    const DialogTemplate& m_dialog;
    bool m_bEnglish;
    QFont m_font;
    QSize m_baseUnits;
};

template <class T>
T* FindDlgItem(const QWidget* pDialog, int nId)
{
    return dynamic_cast<T*>(CDialogBuilder::FindControl(pDialog, nId));
}
