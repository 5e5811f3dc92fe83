#include "app/formattext.h"
#include "app/language.h"
#include "compare/aliascolumntitle.h"
#include "res/stringids.h"
#include "res/stringtable.h"

#include <QSet>
#include <QTest>

class TestLanguage : public QObject
{
    Q_OBJECT

private slots:
    void userLanguage_data();
    void userLanguage();
    void languageRule_data();
    void languageRule();
    void mapResourceId();
    void englishFallsBackToFrench();
    void tableRowsAreComplete();
    void everyLoadedIdExists_data();
    void everyLoadedIdExists();
    void quotedTexts_data();
    void quotedTexts();
    void aliasColumnTitle_data();
    void aliasColumnTitle();
    void formatText_data();
    void formatText();
};

void TestLanguage::userLanguage_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("country");
    QTest::addColumn<bool>("french");

    QTest::newRow("fr_FR") << "fr_FR" << "FRA" << "France" << true;
    QTest::newRow("fr_BE") << "fr_BE" << "FRB" << "Belgium" << true;
    QTest::newRow("fr_CH") << "fr_CH" << "FRS" << "Switzerland" << true;
    QTest::newRow("fr_CA") << "fr_CA" << "FRC" << "Canada" << true;
    QTest::newRow("fr_LU") << "fr_LU" << "FRL" << "Luxembourg" << true;
    QTest::newRow("fr_MC") << "fr_MC" << "FRM" << "Monaco" << true;
    QTest::newRow("en_US") << "en_US" << "ENU" << "United States" << false;
    QTest::newRow("en_GB") << "en_GB" << "ENG" << "United Kingdom" << false;
    QTest::newRow("de_DE") << "de_DE" << "DEU" << "Germany" << false;
    // A territory without its own code takes the language's main code.
    QTest::newRow("fr_SN") << "fr_SN" << "FRA" << "Senegal" << true;
    // The country decides for a language that is not French.
    QTest::newRow("br_FR") << "br_FR" << "ENG" << "France" << true;
    QTest::newRow("C") << "C" << "ENG" << "" << false;
}

void TestLanguage::userLanguage()
{
    QFETCH(QString, locale);
    QFETCH(QString, code);
    QFETCH(QString, country);
    QFETCH(bool, french);

    QString strCountry = QStringLiteral("stale");
    QCOMPARE(GetUserLanguage(strCountry, QLocale(locale)), code);
    QCOMPARE(strCountry, country);
    QCOMPARE(IsFrenchLanguage(code, strCountry), french);
}

void TestLanguage::languageRule_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("country");
    QTest::addColumn<bool>("french");

    QTest::newRow("FRA") << "FRA" << "" << true;
    QTest::newRow("FRB") << "FRB" << "" << true;
    QTest::newRow("FRC") << "FRC" << "" << true;
    QTest::newRow("FRL") << "FRL" << "" << true;
    QTest::newRow("FRM") << "FRM" << "" << true;
    QTest::newRow("FRS") << "FRS" << "" << true;
    QTest::newRow("fra, no country") << "fra" << "" << false;
    QTest::newRow("fra, Belgium") << "fra" << "Belgium" << false;
    QTest::newRow("fra, France") << "fra" << "France" << true;
    QTest::newRow("fra, FRANCE") << "fra" << "FRANCE" << true;
    QTest::newRow("fra, france") << "fra" << "france" << true;
    QTest::newRow("ENU, France") << "ENU" << "France" << true;
    QTest::newRow("ENU") << "ENU" << "United States" << false;
    QTest::newRow("FRAX") << "FRAX" << "" << false;
    QTest::newRow("France with spaces") << "ENU" << " France" << false;
    // Only A-Z fold: a dotless or accented look-alike is another country.
    QTest::newRow("FRANCÉ") << "ENU" << QString::fromUtf8("FRANCÉ") << false;
    QTest::newRow("Francé") << "ENU" << QString::fromUtf8("Francé") << false;
}

void TestLanguage::languageRule()
{
    QFETCH(QString, language);
    QFETCH(QString, country);
    QFETCH(bool, french);
    QCOMPARE(IsFrenchLanguage(language, country), french);
}

void TestLanguage::mapResourceId()
{
    SetInterfaceLanguage(QStringLiteral("FRA"), QString());
    QVERIFY(IsInterfaceFrench());
    QCOMPARE(MapResourceId(1005), 1005);
    QCOMPARE(MapResourceId(2005 - 1000), 1005);
    QCOMPARE(LoadLangString(StringId::Ascending), QStringLiteral("Croissant"));

    SetInterfaceLanguage(QStringLiteral("ENU"), QStringLiteral("United States"));
    QVERIFY(!IsInterfaceFrench());
    QCOMPARE(MapResourceId(1005), 2005);
    QCOMPARE(LoadLangString(StringId::Ascending), QStringLiteral("Ascending"));
}

void TestLanguage::englishFallsBackToFrench()
{
    SetInterfaceLanguage(QStringLiteral("ENG"), QString());
    QVERIFY(FindStringResource(2601).isEmpty());
    QCOMPARE(LoadLangString(1601), QStringLiteral("DTAT"));
    QCOMPARE(LoadLangString(1605), QStringLiteral("CDEC"));
    QCOMPARE(LoadLangString(StringId::ProductName), QStringLiteral("TALVORIN Kitvane"));
    QString strText = QStringLiteral("stale");
    LoadLangString(strText, 1099);
    QVERIFY(strText.isEmpty());
}

void TestLanguage::tableRowsAreComplete()
{
    QSet<int> setIds;
    for (const StringResource& row : StringResources()) {
        QVERIFY2(!setIds.contains(row.nId), qPrintable(QString::number(row.nId)));
        setIds.insert(row.nId);
        QVERIFY(row.pszFrench != nullptr && *row.pszFrench != '\0');
        // No English twin may land on a French identifier.
        QVERIFY(row.pszEnglish == nullptr || *row.pszEnglish != '\0');
    }
    for (int nId : std::as_const(setIds))
        QVERIFY2(!setIds.contains(nId + 1000), qPrintable(QString::number(nId)));
}

void TestLanguage::everyLoadedIdExists_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<bool>("english");

    const int anSingle[] = {
        StringId::SelectSchema, StringId::AliasListUnavailable, StringId::DatabaseError,
        StringId::CannotOpenFile, StringId::CannotWriteFile, StringId::ConfirmDeleteFile,
        StringId::ConfirmReplaceFile, StringId::CancelledByUser, StringId::NoTableToUpdate,
        StringId::ConnectionFailed, StringId::NoProgramOpensFile, StringId::UnexpectedError,
        StringId::ConnectingTo, StringId::FieldExpressionRefused, StringId::StoppedByDatabaseError, StringId::CannotWriteFileReason,
        StringId::CannotOpenFileReason, StringId::DateExpressionClosesUnopened,
        StringId::DateExpressionUnclosedParenthesis, StringId::DateExpressionComment,
        StringId::DateExpressionUnclosedQuote,
        StringId::UserDataSource, StringId::SystemDataSource, StringId::FilterCsv,
        StringId::FilterText, StringId::Ascending, StringId::Descending, StringId::FieldsTab,
        StringId::IndexesTab, StringId::AliasTitle, StringId::StatHeaderTable,
        StringId::StatHeaderRowCount, StringId::StatHeaderLastModified,
    };
    for (int nId : anSingle)
        QTest::addRow("%d", nId) << nId << true;
    for (int nBase : {StringId::TableCounterBase, StringId::FieldCounterBase,
                      StringId::AliasCounterBase, StringId::StatusWordBase}) {
        for (int s = 0; s < StringId::StatusCount; ++s)
            QTest::addRow("%d", nBase + s) << nBase + s << true;
    }
    for (int i = 0; i < StringId::AliasAttributeCount; ++i) {
        // The codes are the deliberate fallbacks.
        QTest::addRow("%d", StringId::AliasCodeBase + i) << StringId::AliasCodeBase + i << false;
        QTest::addRow("%d", StringId::AliasNameBase + i) << StringId::AliasNameBase + i << true;
    }
    for (int i = 0; i < StringId::FieldHeaderCount; ++i)
        QTest::addRow("%d", StringId::FieldHeaderBase + i) << StringId::FieldHeaderBase + i << true;
    QTest::addRow("%d", StringId::ProductName) << StringId::ProductName << false;
}

void TestLanguage::everyLoadedIdExists()
{
    QFETCH(int, id);
    QFETCH(bool, english);
    QVERIFY(!FindStringResource(id).isEmpty());
    QCOMPARE(!FindStringResource(id + 1000).isEmpty(), english);
}

void TestLanguage::quotedTexts_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("french");
    QTest::addColumn<QString>("english");

    QTest::newRow("1052") << 1052
        << QString::fromUtf8("Erreur lors du traitement. La base a retourné l'erreur suivante :\n'%s'")
        << "Error when processing. Database returns the following error :\n'%s'";
    QTest::newRow("1054") << 1054
        << QString::fromUtf8("Impossible d'écrire dans le fichier '%s'.\nS'il est actuellement ouvert par une "
                             "autre application, fermez le avant de relancer l'opération.")
        << "Unable to write in file '%s'.\nPlease close all applications using it and start again.";
    QTest::newRow("1071") << 1071
        << QString::fromUtf8("Le fichier de résultat (%s) existe déjà.\nVoulez-vous vraiment le remplacer ?")
        << "Result file (%s) already exists.\nPlease confirm you want to replace it.";
    QTest::newRow("1151") << 1151 << QString::fromUtf8("CSV (séparateur : point-virgule) (*.csv)")
                          << "CSV (semicolon delimited) (*.csv)";
    QTest::newRow("1202") << 1202 << "%d table(s) uniquement dans %s" << "%d file(s) is/are only in %s";
    QTest::newRow("1403") << 1403 << QString::fromUtf8("%d alias différent(s)") << "%d alias(es) is/are different";
    QTest::newRow("1501") << 1501 << "uniquement dans %LDB%" << "only in %LDB%";
    QTest::newRow("1804") << 1804 << QString::fromUtf8("Type retourné par le driver") << "Type From Driver";
    QTest::newRow("1902") << 1902 << QString::fromUtf8("Date de dernière modification") << "Last modified on date";
}

void TestLanguage::quotedTexts()
{
    QFETCH(int, id);
    QFETCH(QString, french);
    QFETCH(QString, english);
    SetInterfaceLanguage(QStringLiteral("FRA"), QString());
    QCOMPARE(LoadLangString(id), french);
    SetInterfaceLanguage(QStringLiteral("ENU"), QString());
    QCOMPARE(LoadLangString(id), english);
}

void TestLanguage::aliasColumnTitle_data()
{
    QTest::addColumn<bool>("frenchUi");
    QTest::addColumn<int>("attribute");
    QTest::addColumn<bool>("code");
    QTest::addColumn<bool>("name");
    QTest::addColumn<QString>("title");

    QTest::newRow("fr both") << true << 0 << true << true << "DTAT (Type article DD)";
    QTest::newRow("en both") << false << 0 << true << true << "DTAT (Data Item Type)";
    QTest::newRow("en code") << false << 4 << true << false << "CDEC";
    QTest::newRow("fr name") << true << 3 << false << true << QString::fromUtf8("Décimales fichier");
    QTest::newRow("en name") << false << 2 << false << true << "Data Type";
    QTest::newRow("neither") << true << 1 << false << false << "";
    QTest::newRow("below range") << true << -1 << true << true << "";
    QTest::newRow("above range") << false << 5 << true << true << "";
}

void TestLanguage::aliasColumnTitle()
{
    QFETCH(bool, frenchUi);
    QFETCH(int, attribute);
    QFETCH(bool, code);
    QFETCH(bool, name);
    QFETCH(QString, title);
    SetInterfaceLanguage(frenchUi ? QStringLiteral("FRA") : QStringLiteral("ENU"), QString());
    QCOMPARE(GetAliasColumnTitle(attribute, code, name), title);
}

void TestLanguage::formatText_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("result");

    QTest::newRow("counter") << "%d table(s) uniquement dans %s" << QStringList{"12", "JDE (PRODDTA)"}
                             << "12 table(s) uniquement dans JDE (PRODDTA)";
    QTest::newRow("keeps %LDB%") << "only in %LDB% %s" << QStringList{"x"} << "only in %LDB% x";
    QTest::newRow("percent") << "100%% %s" << QStringList{"done"} << "100% done";
    QTest::newRow("missing argument") << "%s and %s" << QStringList{"a"} << "a and %s";
    QTest::newRow("argument with marker") << "'%s' %s" << QStringList{"%s", "b"} << "'%s' b";
    QTest::newRow("trailing percent") << "50%" << QStringList{} << "50%";
}

void TestLanguage::formatText()
{
    QFETCH(QString, format);
    QFETCH(QStringList, args);
    QFETCH(QString, result);
    QString strResult;
    switch (args.size()) {
    case 0: strResult = FormatText(format, {}); break;
    case 1: strResult = FormatText(format, {args[0]}); break;
    default: strResult = FormatText(format, {args[0], args[1]}); break;
    }
    QCOMPARE(strResult, result);
}

QTEST_GUILESS_MAIN(TestLanguage)
#include "tst_language.moc"
