#include "res/stringtable.h"

#include <QHash>

namespace {

// The whole bilingual string table. French text under n, English under n + 1000.
const StringResource kStrings[] = {
    // The product name reads the same in both languages.
    {128, "TALVORIN Kitvane", nullptr},

    // Messages
    {1050, "Vous devez sélectionner au moins un schéma.", "Please select at least one schema."},
    {1051, "Récupération de la liste des alias impossible.", "Unable to retrieve alias list."},
    {1052, "Erreur lors du traitement. La base a retourné l'erreur suivante :\n'%s'",
           "Error when processing. Database returns the following error :\n'%s'"},
    {1053, "Ouverture du fichier %s impossible.", "Unable to open file %s."},
    {1054, "Impossible d'écrire dans le fichier '%s'.\nS'il est actuellement ouvert par une autre "
           "application, fermez le avant de relancer l'opération.",
           "Unable to write in file '%s'.\nPlease close all applications using it and start again."},
    {1055, "L'expression de la colonne de date (%s) ne doit pas contenir de point-virgule (;).",
           "The date column expression (%s) must not contain a semicolon (;)."},
    {1056, "L'expression de la colonne de date (%s) ne doit pas fermer de parenthèse qu'elle n'a pas ouverte.",
           "The date column expression (%s) must not close a parenthesis it has not opened."},
    {1057, "L'expression de la colonne de date (%s) doit refermer toutes les parenthèses qu'elle ouvre.",
           "The date column expression (%s) must close every parenthesis it opens."},
    {1058, "L'expression de la colonne de date (%s) ne doit pas contenir de commentaire (--, /*, #).",
           "The date column expression (%s) must not contain a comment (--, /*, #)."},
    {1059, "L'expression de la colonne de date (%s) doit refermer chaque apostrophe et chaque guillemet qu'elle "
           "ouvre.",
           "The date column expression (%s) must close every quote it opens."},
    {1070, "Voulez-vous vraiment supprimer définitivement le fichier ci-dessous ?\n%s",
           "You will delete the following file. Please confirm.\n%s"},
    {1071, "Le fichier de résultat (%s) existe déjà.\nVoulez-vous vraiment le remplacer ?",
           "Result file (%s) already exists.\nPlease confirm you want to replace it."},
    {1072, "Le traitement a été interrompu par l'utilisateur", "User has cancelled the process"},
    {1073, "Aucune table à modifier", "No file to update"},
    {1074, "Le traitement a été interrompu par une erreur de la base de données",
           "Process stopped by a database error"},
    {1075, "Impossible d'écrire dans le fichier '%s' : %s.\nVérifiez la place disponible et les droits d'accès, "
           "fermez les applications qui l'utilisent, puis relancez l'opération.",
           "Unable to write in file '%s': %s.\nCheck the free space and the access rights, close the applications "
           "using it, and start again."},
    {1076, "Ouverture du fichier %s impossible : %s.", "Unable to open file %s: %s."},
    {1080, "Connexion à la source de données impossible. Le pilote ODBC a retourné l'erreur suivante :\n%s",
           "Unable to connect to the data source. The ODBC driver returned the following error:\n%s"},
    {1081, "Aucun programme n'a pu ouvrir le fichier ci-dessous. Installez un programme pour ce type de "
           "fichier, ou ouvrez le fichier vous-même.\n%s",
           "No program could open the following file. Please install a program for this kind of file, or "
           "open the file yourself.\n%s"},
    {1082, "Le traitement s'est arrêté sur une erreur inattendue.\n%s",
           "The process stopped on an unexpected error.\n%s"},
    {1083, "Connexion à %s en cours", "Connecting to %s"},

    // Comparison window
    {1090, "Lecture de la liste des schémas impossible. Le pilote ODBC a retourné l'erreur suivante :\n%s",
           "Unable to read the schema list. The ODBC driver returned the following error:\n%s"},
    {1091, "Lecture de la liste des tables impossible. Le pilote ODBC a retourné l'erreur suivante :\n%s",
           "Unable to read the table list. The ODBC driver returned the following error:\n%s"},
    {1092, "Base de gauche", "Left database"},
    {1093, "Base de droite", "Right database"},
    {1094, "Schéma", "Schema"},
    {1095, "Texte à rechercher", "Text to search"},
    {1096, "Rechercher", "Search"},
    {1097, "Tables et vues", "Tables and views"},

    // Data source tabs, file filters, index order, structure tabs
    {1100, "Source de données utilisateur", "User data source"},
    {1101, "Source de données système", "System data source"},
    {1151, "CSV (séparateur : point-virgule) (*.csv)", "CSV (semicolon delimited) (*.csv)"},
    {1152, "Fichier texte (*.txt)", "Text file (*.txt)"},
    {1160, "Croissant", "Ascending"},
    {1161, "Décroissant", "Descending"},
    {1170, "Champs", "Fields"},
    {1171, "Index", "Indexes"},

    // Table structure window
    {1172, "Structure de la table", "Table structure"},
    {1173, "Liste des champs", "Field list"},
    {1174, "Liste des index", "Index list"},
    {1175, "Lecture de la structure de la table %s impossible. Le pilote ODBC a retourné l'erreur suivante :\n%s",
           "Unable to read the structure of table %s. The ODBC driver returned the following error:\n%s"},

    // Accessible names of the tool dialogs' icon buttons and power field
    {1180, "Choisir le fichier de résultat", "Select result file"},
    {1181, "Ouvrir le fichier de résultat", "Open result file"},
    {1182, "Supprimer le fichier de résultat", "Delete result file"},
    {1183, "Puissance de 10", "Power of 10"},
    {1184, "Augmenter", "Up"},
    {1185, "Diminuer", "Down"},

    // Counter captions per comparison status: tables, fields, aliases
    {1200, "%d table(s) identique(s)", "%d file(s) is/are the same"},
    {1201, "%d table(s) uniquement dans %s", "%d file(s) is/are only in %s"},
    {1202, "%d table(s) uniquement dans %s", "%d file(s) is/are only in %s"},
    {1203, "%d table(s) différente(s)", "%d file(s) is/are different"},
    {1300, "%d champ(s) identique(s)", "%d field(s) is/are the same"},
    {1301, "%d champ(s) uniquement dans %s", "%d field(s) is/are only in %s"},
    {1302, "%d champ(s) uniquement dans %s", "%d field(s) is/are only in %s"},
    {1303, "%d champ(s) différent(s)", "%d field(s) is/are different"},
    {1400, "%d alias identique(s)", "%d alias(es) is/are the same"},
    {1401, "%d alias uniquement dans %s", "%d alias(es) is/are only in %s"},
    {1402, "%d alias uniquement dans %s", "%d alias(es) is/are only in %s"},
    {1403, "%d alias différent(s)", "%d alias(es) is/are different"},

    // Status words of the exports
    {1500, "identique", "same"},
    {1501, "uniquement dans %LDB%", "only in %LDB%"},
    {1502, "uniquement dans %RDB%", "only in %RDB%"},
    {1503, "différent", "different"},

    // Alias attribute columns. The codes have no English twins on purpose:
    // they fall back to the French ones, which are the same codes.
    {1600, "Alias", "Alias"},
    {1601, "DTAT", nullptr},
    {1602, "DTAS", nullptr},
    {1603, "OWTP", nullptr},
    {1604, "DTAD", nullptr},
    {1605, "CDEC", nullptr},
    {1701, "Type article DD", "Data Item Type"},
    {1702, "Taille article", "Item Size"},
    {1703, "Type données", "Data Type"},
    {1704, "Décimales fichier", "Data File Decimals"},
    {1705, "Afficher décimales", "Display Decimals"},

    // Header band of the field result form
    {1800, "Champ", "Field"},
    {1801, "Type SQL", "SQL Type"},
    {1802, "Taille", "Size"},
    {1803, "Type retourné par le driver", "Type From Driver"},
    {1804, "Type retourné par le driver", "Type From Driver"},

    // Header of the statistics result file
    {1900, "Table", "File"},
    {1901, "Nombre de lignes", "Number of records"},
    {1902, "Date de dernière modification", "Last modified on date"},
};

QHash<int, QString> BuildIndex()
{
    QHash<int, QString> index;
    for (const StringResource& row : kStrings)
        index.insert(row.nId, QString::fromUtf8(row.pszFrench));
    // French identifiers win where an English twin (n + 1000) would collide with one.
    for (const StringResource& row : kStrings) {
        if (row.pszEnglish != nullptr && !index.contains(row.nId + 1000))
            index.insert(row.nId + 1000, QString::fromUtf8(row.pszEnglish));
    }
    return index;
}

}  // namespace

std::span<const StringResource> StringResources()
{
    return kStrings;
}

QString FindStringResource(int nResourceId)
{
    static const QHash<int, QString> index = BuildIndex();
    return index.value(nResourceId);
}
