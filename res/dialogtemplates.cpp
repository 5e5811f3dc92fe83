#include "res/dialogtemplates.h"

#include <iterator>

namespace {

using K = ControlKind;

// The dialog font of every template, as the rectangles were drawn for it.
constexpr const char* kFontFace = "DejaVu Sans";
constexpr int kFontPoints = 8;

// Main dialog: data source and schemas on the left, the tools on the right,
// the band with the about and logo buttons below them.
const ControlTemplate kMain[] = {
    {IDC_DSN_CHOOSE, K::PushButton, "Source de données ODBC...", "ODBC\nData Sources...", 6, 6, 104, 24, 0},
    {IDC_DSN_ICON, K::StaticIcon, nullptr, nullptr, 116, 12, 10, 10, CTL_HIDDEN},
    {IDC_DSN_NAME, K::Static, "", nullptr, 130, 13, 96, 9, CTL_HIDDEN},
    {IDC_CONNECT, K::PushButton, "Connexion", "Connection", 6, 36, 60, 14, CTL_HIDDEN},
    {IDC_SCHEMA_LIST, K::ListCtrl, nullptr, nullptr, 6, 36, 220, 122, CTL_HIDDEN},
    {IDC_DECIMAL_UPDATE, K::PushButton, "Modification du nombre de décimales", "Update decimal places",
     215, 6, 140, 24, 0},
    {IDC_TABLE_STATS, K::PushButton, "Statistiques sur les tables", "File statistics", 215, 36, 140, 24, 0},
    {IDC_COMPARE, K::PushButton, "Comparaison de bases de données", "Database Comparison", 215, 66, 140, 24, 0},
    {IDC_ABOUT, K::RoundButton, " <?>", nullptr, 215, 136, 22, 22, 0},
    {IDC_LOGO, K::LogoButton, " <LOGO>", nullptr, 260, 139, 120, 26, 0},
};

const ControlTemplate kDataSources[] = {
    {IDC_DSN_ADMIN, K::PushButton, "Administration des sources de données ODBC...", "ODBC data source setup...",
     7, 7, 170, 14, 0},
    {IDC_DSN_TAB, K::TabCtrl, nullptr, nullptr, 7, 28, 256, 104, 0},
    {IDC_DSN_USER, K::ListBox, nullptr, nullptr, 12, 44, 246, 84, CTL_SORTED | CTL_TABSTOPS},
    {IDC_DSN_SYSTEM, K::ListBox, nullptr, nullptr, 12, 44, 246, 84, CTL_SORTED | CTL_TABSTOPS | CTL_HIDDEN},
    {IDOK, K::PushButton, "OK", nullptr, 80, 139, 50, 14, CTL_DEFAULT},
    {IDCANCEL, K::PushButton, "Annuler", "Cancel", 140, 139, 50, 14, 0},
};

const ControlTemplate kWaitDatabase[] = {
    {IDC_ANIMATE, K::Animation, nullptr, nullptr, 8, 10, 28, 28, CTL_TRANSPARENT},
    {IDC_WAIT_TITLE, K::Static, "Recherche des informations sur la base de données",
     "Searching for database information", 44, 10, 186, 9, 0},
    {IDC_WAIT_TEXT, K::Static, "Veuillez patienter...", "Please wait...", 44, 26, 130, 9, 0},
    // Shown only while a connection attempt can still be abandoned.
    {IDCANCEL, K::PushButton, "Annuler", "Cancel", 180, 28, 50, 14, CTL_HIDDEN},
};

const ControlTemplate kWaitDecimal[] = {
    {IDC_WAIT_TITLE, K::Static, "Analyse des tables en cours", "Analysing files", 7, 7, 140, 9, 0},
    {IDC_WAIT_ITEM, K::Static, "", nullptr, 150, 7, 147, 9, CTL_RIGHT},
    {IDC_WAIT_TEXT, K::Static, "Veuillez patienter...", "Please wait...", 7, 19, 140, 9, 0},
    {IDC_WAIT_COUNT, K::Static, "Tables à modifier : %d / %d", "Files to update : %d / %d", 150, 19, 147, 9,
     CTL_RIGHT},
    {IDC_PROGRESS, K::ProgressBar, nullptr, nullptr, 7, 33, 230, 12, CTL_HIDDEN},
    {IDCANCEL, K::PushButton, "Annuler", "Cancel", 247, 32, 50, 14, 0},
};

const ControlTemplate kWaitStatistics[] = {
    {IDC_WAIT_TITLE, K::Static, "Analyse des tables en cours", "Analysing files", 7, 7, 140, 9, 0},
    {IDC_WAIT_ITEM, K::Static, "", nullptr, 150, 7, 147, 9, CTL_RIGHT},
    {IDC_WAIT_TEXT, K::Static, "Veuillez patienter...", "Please wait...", 7, 19, 140, 9, 0},
    {IDC_PROGRESS, K::ProgressBar, nullptr, nullptr, 7, 33, 230, 12, CTL_HIDDEN},
    {IDCANCEL, K::PushButton, "Annuler", "Cancel", 247, 32, 50, 14, 0},
};

// About box: the header strip and the icon are painted, the title too; the
// logo is painted inside the frame 523.
const ControlTemplate kAbout[] = {
    {IDC_VERSION, K::Static, "Version %s", nullptr, 118, 46, 135, 12, CTL_RIGHT},
    {IDC_COPYRIGHT, K::Static, "Copyright © 2019 Talvorin. Tous droits réservés.",
     "Copyright © 2019 Talvorin. All rights reserved.", 7, 68, 246, 9, CTL_RIGHT},
    {IDC_LOGO_FRAME, K::GroupBox, nullptr, nullptr, 97, 80, 158, 58, 0},
    {IDC_RELEASE, K::PushButton, "Notes de release", "Release notes", 10, 84, 80, 14, 0},
    {IDC_CONDITIONS, K::PushButton, "Conditions d'utilisation", "Conditions of use", 10, 102, 80, 14, 0},
    {IDC_HELP_DOC, K::PushButton, "Aide", "Help", 10, 120, 80, 14, 0},
    {IDC_WEBLINK, K::StaticLink, "www.talvorin.com", nullptr, 100, 144, 98, 10, 0},
    {IDOK, K::PushButton, "OK", nullptr, 203, 141, 50, 14, CTL_DEFAULT},
};

const DialogTemplate kTemplates[] = {
    {DialogId::Main, "TALVORIN Kitvane", nullptr, 361, 165, DLG_RESIZABLE, kFontFace, kFontPoints, kMain},
    {DialogId::DataSources, "Sources de données ODBC", "ODBC Data Source", 270, 160, DLG_RESIZABLE, kFontFace,
     kFontPoints, kDataSources},
    {DialogId::WaitDatabase, "", nullptr, 237, 49, DLG_NOCAPTION, kFontFace, kFontPoints, kWaitDatabase},
    {DialogId::About, "À propos de", "About", 260, 160, 0, kFontFace, kFontPoints, kAbout},
    {DialogId::WaitDecimal, "", nullptr, 304, 52, DLG_NOCAPTION, kFontFace, kFontPoints, kWaitDecimal},
    {DialogId::WaitStatistics, "", nullptr, 304, 52, DLG_NOCAPTION, kFontFace, kFontPoints, kWaitStatistics},
};

}  // namespace

std::span<const DialogTemplate> DialogTemplates()
{
    return kTemplates;
}

const DialogTemplate* FindDialogTemplate(int nResourceId)
{
    for (const DialogTemplate& dialog : kTemplates) {
        if (dialog.nId == nResourceId || dialog.nId + 1000 == nResourceId)
            return &dialog;
    }
    return nullptr;
}

bool IsEnglishTemplateId(int nResourceId)
{
    const DialogTemplate* pTemplate = FindDialogTemplate(nResourceId);
    return pTemplate != nullptr && pTemplate->nId != nResourceId;
}
