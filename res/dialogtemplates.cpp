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

// Comparison window: the database selection form of each side, the
// launcher row under them and the comparison result form.
const ControlTemplate kDatabaseSelect[] = {
    {IDC_DSN_CHOOSE, K::PushButton, "Source de données ODBC...", "ODBC\nData Sources...", 6, 6, 104, 24, 0},
    {IDC_DSN_ICON, K::StaticIcon, nullptr, nullptr, 115, 7, 10, 10, CTL_HIDDEN},
    {IDC_DSN_NAME, K::Static, "", nullptr, 128, 8, 90, 9, CTL_HIDDEN},
    // The schema choice and the connect button share one place.
    {IDC_SCHEMA_COMBO, K::ComboBox, nullptr, nullptr, 115, 18, 103, 13, CTL_SORTED | CTL_HIDDEN},
    {IDC_CONNECT, K::PushButton, "Connexion", "Connection", 115, 18, 60, 13, CTL_HIDDEN},
    {IDC_DB_STATUS, K::Static, "", nullptr, 6, 44, 212, 60, CTL_HIDDEN},
    {IDC_SEARCH_TEXT, K::Edit, nullptr, nullptr, 6, 44, 194, 13, CTL_HIDDEN},
    {IDC_SEARCH, K::PushButton, "Button1", nullptr, 201, 44, 17, 13, CTL_HIDDEN},
    {IDC_ITEM_LIST, K::ListCtrl, nullptr, nullptr, 6, 63, 212, 140, CTL_HIDDEN},
    {IDC_SHOW_STRUCTURE, K::PushButton, "Afficher la structure de la table...", "Show table structure...", 68, 209,
     150, 14, CTL_HIDDEN},
};

const ControlTemplate kLauncher[] = {
    {IDC_COMPARE_TABLES, K::PushButton, "Comparer les tables...", "Compare tables...", 6, 6, 100, 24, 0},
    {IDC_COMPARE_ALIASES, K::PushButton, "Comparer les dictionnaires\nde données...",
     "Compare data\ndictionaries...", 112, 6, 100, 24, 0},
    {IDC_LOGO, K::LogoButton, " <LOGO>", nullptr, 300, 4, 133, 28, 0},
};

const ControlTemplate kCompareResult[] = {
    {IDC_FILTER_FIRST + 0, K::ColorCheckButton, "...", nullptr, 12, 10, 276, 10, 0},
    {IDC_FILTER_FIRST + 1, K::ColorCheckButton, "...", nullptr, 12, 23, 276, 10, 0},
    {IDC_FILTER_FIRST + 2, K::ColorCheckButton, "...", nullptr, 12, 36, 276, 10, 0},
    {IDC_FILTER_FIRST + 3, K::ColorCheckButton, "...", nullptr, 12, 49, 276, 10, 0},
    {IDC_SEARCH_TEXT, K::Edit, nullptr, nullptr, 6, 72, 270, 13, 0},
    {IDC_SEARCH, K::PushButton, "Button1", nullptr, 277, 72, 17, 13, 0},
    {IDC_ITEM_LIST, K::ListCtrl, nullptr, nullptr, 6, 91, 288, 120, 0},
    {IDC_SHOW_DETAILS, K::PushButton, "Afficher les différences...", "Show differences...", 194, 216, 100, 14,
     CTL_HIDDEN},
    {IDC_EXPORT, K::PushButton, "Exporter vers un fichier...", "Export to file...", 6, 240, 110, 14, 0},
    {IDC_LOGO, K::LogoButton, " <LOGO>", nullptr, 161, 236, 133, 28, 0},
};
// Options dialog: one hidden check box per option; the dialog shows, places
// and sizes itself to the ones it is asked for.
const ControlTemplate kParams[] = {
    {IDC_OPTION_FIRST + 0, K::CheckBox, "Exporter la liste des champs",
     "Export field list", 7, 7, 240, 10, CTL_HIDDEN},
    {IDC_OPTION_FIRST + 1, K::CheckBox, "Exporter la liste des index",
     "Export key list", 7, 7, 240, 10, CTL_HIDDEN},
    {IDC_OPTION_FIRST + 2, K::CheckBox, "Tenir compte de la casse lors du rapprochement des noms de tables et de champs",
     "Case sensitive when matching file and field names", 7, 7, 240, 10, CTL_HIDDEN},
    {IDC_OPTION_FIRST + 3, K::CheckBox, "Exporter les tables identiques",
     "Export files that are the same", 7, 7, 240, 10, CTL_HIDDEN},
    {IDC_OPTION_FIRST + 4, K::CheckBox, "Exporter les tables uniquement dans %LDB%",
     "Export files that are only in %LDB%", 7, 7, 240, 10, CTL_HIDDEN},
    {IDC_OPTION_FIRST + 5, K::CheckBox, "Exporter les tables uniquement dans %RDB%",
     "Export files that are only in %RDB%", 7, 7, 240, 10, CTL_HIDDEN},
    {IDC_OPTION_FIRST + 6, K::CheckBox, "Exporter les tables différentes",
     "Export files that are different", 7, 7, 240, 10, CTL_HIDDEN},
    {IDC_OPTION_FIRST + 7, K::CheckBox, "Exporter les champs identiques (des tables différentes)",
     "Export fields that are the same (from files that are different)", 7, 7, 240, 10, CTL_HIDDEN},
    {IDC_OPTION_FIRST + 8, K::CheckBox, "Exporter les champs uniquement dans %LDB% (des tables différentes)",
     "Export fields that are only in %LDB% (from files that are different)", 7, 7, 240, 10, CTL_HIDDEN},
    {IDC_OPTION_FIRST + 9, K::CheckBox, "Exporter les champs uniquement dans %RDB% (des tables différentes)",
     "Export fields that are only in %RDB% (from files that are different)", 7, 7, 240, 10, CTL_HIDDEN},
    {IDC_OPTION_FIRST + 10, K::CheckBox, "Exporter les champs différents (des tables différentes)",
     "Export fields that are different (from files that are different)", 7, 7, 240, 10, CTL_HIDDEN},
    {IDC_OPTION_FIRST + 11, K::CheckBox, "Exporter les champs identiques",
     "Export fields that are the same", 7, 7, 240, 10, CTL_HIDDEN},
    {IDC_OPTION_FIRST + 12, K::CheckBox, "Exporter les champs uniquement dans %LDB%",
     "Export fields that are only in %LDB%", 7, 7, 240, 10, CTL_HIDDEN},
    {IDC_OPTION_FIRST + 13, K::CheckBox, "Exporter les champs uniquement dans %RDB%",
     "Export fields that are only in %RDB%", 7, 7, 240, 10, CTL_HIDDEN},
    {IDC_OPTION_FIRST + 14, K::CheckBox, "Exporter les champs différents",
     "Export fields that are different", 7, 7, 240, 10, CTL_HIDDEN},
    {IDC_OPTION_FIRST + 15, K::CheckBox, "Exporter les alias identiques",
     "Export aliases that are the same", 7, 7, 240, 10, CTL_HIDDEN},
    {IDC_OPTION_FIRST + 16, K::CheckBox, "Exporter les alias uniquement dans %LDB%",
     "Export aliases that are only in %LDB%", 7, 7, 240, 10, CTL_HIDDEN},
    {IDC_OPTION_FIRST + 17, K::CheckBox, "Exporter les alias uniquement dans %RDB%",
     "Export aliases that are only in %RDB%", 7, 7, 240, 10, CTL_HIDDEN},
    {IDC_OPTION_FIRST + 18, K::CheckBox, "Exporter les alias différents",
     "Export aliases that are different", 7, 7, 240, 10, CTL_HIDDEN},
    {IDC_OPTION_FIRST + 19, K::CheckBox, "Comparer les valeurs du champ %COL%",
     "Compare values for field %COL%", 7, 7, 240, 10, CTL_HIDDEN},
    {IDC_OPTION_FIRST + 20, K::CheckBox, "Comparer les valeurs du champ %COL%",
     "Compare values for field %COL%", 7, 7, 240, 10, CTL_HIDDEN},
    {IDC_OPTION_FIRST + 21, K::CheckBox, "Comparer les valeurs du champ %COL%",
     "Compare values for field %COL%", 7, 7, 240, 10, CTL_HIDDEN},
    {IDC_OPTION_FIRST + 22, K::CheckBox, "Comparer les valeurs du champ %COL%",
     "Compare values for field %COL%", 7, 7, 240, 10, CTL_HIDDEN},
    {IDC_OPTION_FIRST + 23, K::CheckBox, "Comparer les valeurs du champ %COL%",
     "Compare values for field %COL%", 7, 7, 240, 10, CTL_HIDDEN},
    {IDC_OPTION_FIRST + 24, K::CheckBox, "Comparer les types de données SQL des champs",
     "Compare SQL datatype for fields", 7, 7, 240, 10, CTL_HIDDEN},
    {IDC_OPTION_FIRST + 25, K::CheckBox, "Considérer des chaines de caractères de même taille ayant des types différents comme identiques",
     "Define that strings, with same size but different datatype, are the same", 7, 7, 240, 10, CTL_HIDDEN},
    {IDOK, K::PushButton, "OK", nullptr, 60, 30, 50, 14, CTL_DEFAULT},
    {IDCANCEL, K::PushButton, "Annuler", "Cancel", 120, 30, 50, 14, 0},
};

// Progress of a comparison: the table being compared on the right.
const ControlTemplate kWaitCompare[] = {
    {IDC_WAIT_TITLE, K::Static, "Comparaison en cours", "Comparison in progress", 7, 7, 140, 9, 0},
    {IDC_WAIT_ITEM, K::Static, "", nullptr, 150, 7, 147, 9, CTL_RIGHT},
    {IDC_WAIT_TEXT, K::Static, "Veuillez patienter...", "Please wait...", 7, 19, 140, 9, 0},
    {IDC_PROGRESS, K::ProgressBar, nullptr, nullptr, 7, 33, 230, 12, CTL_HIDDEN},
    {IDCANCEL, K::PushButton, "Annuler", "Cancel", 247, 32, 50, 14, 0},
};

// The result-file group shared by the two tool dialogs, at the top y of its label.
#define KV_RESULT_FILE_GROUP(y)                                                                          \
    {IDC_RESULT_LABEL, K::Static, "Fichier de résultat", "Result file", 14, (y), 200, 9, 0},             \
    {IDC_RESULT_PATH, K::Edit, "", nullptr, 14, (y) + 11, 214, 13, 0},                                   \
    {IDC_RESULT_SELECT, K::PushButton, "Select", nullptr, 232, (y) + 10, 18, 15, 0},                     \
    {IDC_RESULT_OPEN, K::PushButton, "Open", nullptr, 252, (y) + 10, 18, 15, 0},                         \
    {IDC_RESULT_DELETE, K::PushButton, "Delete", nullptr, 272, (y) + 10, 18, 15, 0}

// Decimal-places update: the name by alias or class on the left, the
// operation and the power of ten on the right, the result file below.
const ControlTemplate kDecimalUpdate[] = {
    {IDC_MODE_ALIAS, K::RadioButton, "Alias", nullptr, 14, 16, 46, 10, CTL_GROUP},
    {IDC_MODE_CLASS, K::RadioButton, "Classe", "Class", 14, 38, 46, 10, 0},
    {IDC_ALIAS, K::Edit, "", nullptr, 62, 14, 84, 13, 0},
    {IDC_CLASS, K::Edit, "", nullptr, 62, 36, 84, 13, 0},
    {IDC_CLASS_NOTICE, K::Static, "Table F9210 inaccessible.\nMise à jour par classe non-disponible.",
     "Unable to access file F9210.\nUpdate based on class is so not available.", 7, 56, 150, 18, CTL_CENTER},
    {IDC_MULTIPLY, K::RadioButton, "Multiplier par", "Multiply with", 166, 16, 74, 10, CTL_GROUP},
    {IDC_DIVIDE, K::RadioButton, "Diviser par", "Divide with", 166, 38, 74, 10, 0},
    {IDC_POWER_LABEL, K::Static, "10 ^", nullptr, 242, 27, 18, 9, CTL_RIGHT},
    {IDC_POWER, K::Edit, "", nullptr, 262, 25, 18, 13, 0},
    {IDC_POWER_SPIN, K::UpDown, nullptr, nullptr, 280, 25, 10, 13, 0},
    KV_RESULT_FILE_GROUP(90),
    {IDC_GENERATE, K::PushButton, "Générer les requêtes", "Generate queries", 14, 106, 110, 16, 0},
    {IDC_LOGO, K::LogoButton, " <LOGO>", nullptr, 180, 104, 110, 22, 0},
};

// Table statistics: how the date of last update is found, the result file below.
const ControlTemplate kTableStatistics[] = {
    {IDC_DATE_GROUP, K::GroupBox, "Date de dernière mise à jour", "Last modified on date", 7, 10, 288, 64, 0},
    {IDC_DATE_UPMJ, K::RadioButton, "Utiliser le champ UPMJ (Bases de données JDE)", "Use field UPMJ (JDE Database)",
     16, 26, 260, 10, CTL_GROUP},
    {IDC_DATE_FIELD, K::RadioButton, "Utiliser le champ suivant :", "Use following field :", 16, 42, 110, 10, 0},
    {IDC_DATE_FIELD_NAME, K::Edit, "", nullptr, 128, 40, 158, 13, CTL_HIDDEN},
    {IDC_DATE_NONE, K::RadioButton, "Ne pas rechercher la date de dernière mise à jour",
     "Do not search for last modified on date", 16, 58, 260, 10, 0},
    KV_RESULT_FILE_GROUP(92),
    {IDC_GENERATE, K::PushButton, "Générer les statistiques", "Generate statistics", 14, 117, 110, 16, 0},
    {IDC_LOGO, K::LogoButton, " <LOGO>", nullptr, 180, 115, 110, 22, 0},
};

#undef KV_RESULT_FILE_GROUP

// Table structure window: the side's data source above the tab control,
// whose current tab shows the search field and one of the two lists; the
// form lays them out over the tab's page.
const ControlTemplate kTableStructure[] = {
    {IDC_DSN_ICON, K::StaticIcon, nullptr, nullptr, 6, 6, 10, 10, 0},
    {IDC_DSN_NAME, K::Static, "", nullptr, 20, 7, 224, 9, 0},
    {IDC_STRUCTURE_TAB, K::TabCtrl, nullptr, nullptr, 6, 22, 238, 168, 0},
    {IDC_SEARCH_TEXT, K::Edit, nullptr, nullptr, 12, 42, 208, 13, 0},
    {IDC_SEARCH, K::PushButton, "Button1", nullptr, 221, 42, 17, 13, 0},
    {IDC_FIELD_LIST, K::ListCtrl, nullptr, nullptr, 12, 61, 226, 124, 0},
    {IDC_INDEX_LIST, K::ListCtrl, nullptr, nullptr, 12, 61, 226, 124, CTL_HIDDEN},
    // Narrow enough to stay clear of the logo at the window's smallest.
    {IDC_EXPORT, K::PushButton, "Exporter vers un fichier...", "Export to file...", 6, 200, 85, 14, 0},
    {IDC_LOGO, K::LogoButton, " <LOGO>", nullptr, 111, 196, 133, 28, 0},
};

const DialogTemplate kTemplates[] = {
    {DialogId::Main, "TALVORIN Kitvane", nullptr, 361, 165, DLG_RESIZABLE, kFontFace, kFontPoints, kMain},
    {DialogId::DataSources, "Sources de données ODBC", "ODBC Data Source", 270, 160, DLG_RESIZABLE, kFontFace,
     kFontPoints, kDataSources},
    {DialogId::WaitDatabase, "", nullptr, 237, 49, DLG_NOCAPTION, kFontFace, kFontPoints, kWaitDatabase},
    {DialogId::About, "À propos de", "About", 260, 160, 0, kFontFace, kFontPoints, kAbout},
    {DialogId::WaitDecimal, "", nullptr, 304, 52, DLG_NOCAPTION, kFontFace, kFontPoints, kWaitDecimal},
    {DialogId::WaitStatistics, "", nullptr, 304, 52, DLG_NOCAPTION, kFontFace, kFontPoints, kWaitStatistics},
    // Comparison window forms
    {DialogId::CompareResult, "", nullptr, 300, 270, DLG_NOCAPTION, kFontFace, kFontPoints, kCompareResult},
    {DialogId::Params, "Paramètres", "Setup", 250, 50, 0, kFontFace, kFontPoints, kParams},
    {DialogId::WaitCompare, "", nullptr, 304, 52, DLG_NOCAPTION, kFontFace, kFontPoints, kWaitCompare},
    {DialogId::DatabaseSelect, "", nullptr, 224, 230, DLG_NOCAPTION, kFontFace, kFontPoints, kDatabaseSelect},
    {DialogId::Launcher, "", nullptr, 440, 36, DLG_NOCAPTION, kFontFace, kFontPoints, kLauncher},
    {DialogId::DecimalUpdate, "TALVORIN Kitvane", nullptr, 302, 131, DLG_RESIZABLE, kFontFace, kFontPoints,
     kDecimalUpdate},
    {DialogId::TableStatistics, "TALVORIN Kitvane", nullptr, 302, 142, DLG_RESIZABLE, kFontFace, kFontPoints,
     kTableStatistics},
    {DialogId::TableStructure, "", nullptr, 250, 220, DLG_NOCAPTION, kFontFace, kFontPoints, kTableStructure},
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
