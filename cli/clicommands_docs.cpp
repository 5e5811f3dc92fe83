// The manual page and the bash completion of kitvane-cli, written from the
// command table that --help reads, so that neither can disagree with it.

#include "cli/clicommands.h"

#include "version.h"

#include <QRegularExpression>
#include <QSet>

namespace {

// Text for a roff line: backslashes as \e, options' hyphens as \- (so that
// they copy as ASCII hyphens), other characters beyond ASCII by code point,
// and a leading dot or apostrophe kept from reading as a request.
QString RoffText(const QString& strText)
{
    static const QRegularExpression optionWord(QStringLiteral("(?<![\\w-])--?[A-Za-z][\\w-]*"));
    QString strEscaped;
    qsizetype nDone = 0;
    const auto Append = [&strEscaped](QStringView text, bool bOption) {
        for (const QChar ch : text) {
            if (ch == u'\\')
                strEscaped += QStringLiteral("\\e");
            else if (ch == u'-' && bOption)
                strEscaped += QStringLiteral("\\-");
            else if (ch.unicode() > 0x7E || (ch.unicode() < 0x20 && ch != u'\t'))
                strEscaped += QStringLiteral("\\[u%1]")
                                  .arg(QString::number(ch.unicode(), 16).toUpper().rightJustified(4, u'0'));
            else
                strEscaped += ch;
        }
    };
    for (auto it = optionWord.globalMatch(strText); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        Append(QStringView(strText).mid(nDone, match.capturedStart() - nDone), false);
        Append(match.capturedView(), true);
        nDone = match.capturedEnd();
    }
    Append(QStringView(strText).mid(nDone), false);
    if (strEscaped.startsWith(u'.') || strEscaped.startsWith(u'\''))
        strEscaped.prepend(QStringLiteral("\\&"));
    return strEscaped;
}

// A name written in bold, every hyphen as \-.
QString RoffName(const char* pszName)
{
    return QString::fromLatin1(pszName).replace(u'-', QStringLiteral("\\-"));
}

// The .TP paragraph of one option.
QString RoffOption(const CliOption& option)
{
    QString strTag = QStringLiteral(".TP\n\\fB\\-\\-") + RoffName(option.pszName) + QStringLiteral("\\fR");
    if (option.pszValue != nullptr)
        strTag += QStringLiteral(" \\fI") + RoffText(QLatin1String(option.pszValue)) + QStringLiteral("\\fR");
    QString strHelp = RoffText(QLatin1String(option.pszHelp));
    if (option.bRepeatable && !strHelp.contains(QLatin1String("repeatable")))
        strHelp += QStringLiteral(" (repeatable)");
    return strTag + u'\n' + strHelp + u'\n';
}

// A word in single quotes for the shell.
QString ShellQuoted(const QString& strWord)
{
    QString strQuoted = strWord;
    strQuoted.replace(u'\'', QStringLiteral("'\\''"));
    return u'\'' + strQuoted + u'\'';
}

QString OptionWords(const CliOptionList& options)
{
    QStringList arrWords;
    for (const CliOption& option : options)
        arrWords.append(QStringLiteral("--") + QLatin1String(option.pszName));
    return arrWords.join(u' ');
}

}  // namespace

QString CCliCommands::ManPage()
{
    QString strPage;
    strPage += QStringLiteral(".\\\" Written by kitvane-cli --man-page from its command table.\n");
    strPage += QStringLiteral(".TH KITVANE\\-CLI 1 \"\" \"Kitvane " KITVANE_PRODUCT_VERSION "\" \"User Commands\"\n");
    strPage += QStringLiteral(".SH NAME\nkitvane\\-cli \\- compare and inspect JD Edwards EnterpriseOne databases "
                              "through ODBC from the command line\n");
    strPage += QStringLiteral(".SH SYNOPSIS\n"
                              ".B kitvane\\-cli\n"
                              "[\\fIGENERAL OPTIONS\\fR]\n"
                              "\\fICOMMAND\\fR\n"
                              "[\\fIOPTIONS\\fR]\n"
                              ".br\n"
                              ".B kitvane\\-cli \\-\\-version\n"
                              ".br\n"
                              ".B kitvane\\-cli \\-\\-help\n"
                              ".br\n"
                              ".B kitvane\\-cli\n"
                              "\\fICOMMAND\\fR \\fB\\-\\-help\\fR\n");
    strPage += QStringLiteral(
        ".SH DESCRIPTION\n"
        ".B kitvane\\-cli\n"
        "runs the comparisons and tools of Kitvane without a window and writes the same files. "
        "It reaches the databases only through the ODBC data sources of unixODBC and opens them read-only. "
        "It uses the default options plus the options given and never reads or writes the stored settings "
        "of the graphical tools.\n"
        ".PP\n"
        "Results go to standard output, progress and messages to standard error. "
        "Each run does one command; the general options may come before the command as well as after it.\n"
        ".SH OPTIONS\n"
        "These options are taken by every command.\n");
    for (const CliOption& option : GeneralOptions())
        strPage += RoffOption(option);
    strPage += QStringLiteral(".SH COMMANDS\n");
    for (const Command& command : Commands()) {
        strPage += QStringLiteral(".SS ") + RoffName(command.pszName) + u'\n';
        strPage += RoffText(QLatin1String(command.pszSummary)) + u'\n';
        for (const CliOption& option : command.options)
            strPage += RoffOption(option);
    }
    strPage += QStringLiteral(".SH EXIT STATUS\n");
    for (const ExitStatus& status : ExitStatuses())
        strPage += QStringLiteral(".TP\n.B %1\n").arg(status.nStatus) + RoffText(QLatin1String(status.pszMeaning))
                   + u'\n';
    strPage += QStringLiteral(
        ".SH FILES\n"
        ".TP\n"
        ".I ~/.odbc.ini\n"
        "The user data sources, which\n"
        ".B dsns\n"
        "lists with the system ones and\n"
        ".B demo\n"
        "adds DEMO_DEV and DEMO_PROD to.\n"
        ".TP\n"
        ".I $ODBCINI\n"
        "When set, the file of the user data sources in place of\n"
        ".IR ~/.odbc.ini .\n"
        ".SH EXAMPLES\n"
        "Build the demo databases, then compare their tables and export the differences:\n"
        ".PP\n"
        ".RS\n"
        ".nf\n"
        "kitvane\\-cli demo\n"
        "kitvane\\-cli compare\\-tables \\-\\-left DEMO_DEV \\-\\-right DEMO_PROD \\-\\-sql\\-types \\e\n"
        "    \\-\\-export tables.csv \\-\\-export\\-tables left,right,different\n"
        ".fi\n"
        ".RE\n"
        ".PP\n"
        "In a scheduled job, read the counters as JSON and fail when the dictionaries differ:\n"
        ".PP\n"
        ".RS\n"
        ".nf\n"
        "kitvane\\-cli \\-\\-lang en compare\\-dd \\-\\-left DEMO_DEV \\-\\-right DEMO_PROD \\e\n"
        "    \\-\\-attributes DTAT,DTAS,CDEC \\-\\-summary json \\-\\-fail\\-on\\-differences\n"
        ".fi\n"
        ".RE\n"
        ".SH SEE ALSO\n"
        ".BR odbcinst (1),\n"
        ".BR isql (1)\n");
    return strPage;
}

QString CCliCommands::BashCompletion()
{
    // What follows an option taking a value, by name; a name means the same
    // in every command that takes it.
    QStringList arrValueCases;
    QSet<QString> seen;
    QList<CliOptionList> lists = {GeneralOptions()};
    for (const Command& command : Commands())
        lists.append(command.options);
    for (const CliOptionList& options : lists) {
        for (const CliOption& option : options) {
            const QString strName = QLatin1String(option.pszName);
            if (option.pszValue == nullptr || seen.contains(strName))
                continue;
            seen.insert(strName);
            QString strReply;
            switch (option.valueKind) {
            case CliValueKind::Choice:
                strReply = QStringLiteral("COMPREPLY=($(compgen -W %1 -- \"$cur\"))")
                               .arg(ShellQuoted(QString::fromLatin1(option.pszValue).replace(u'|', u' ')));
                break;
            case CliValueKind::DataSource:
                strReply = QStringLiteral("_kitvane_cli_data_sources \"$cur\"");
                break;
            case CliValueKind::File:
                strReply = QStringLiteral("compopt -o filenames 2>/dev/null; COMPREPLY=($(compgen -f -- \"$cur\"))");
                break;
            case CliValueKind::Folder:
                strReply = QStringLiteral("compopt -o filenames 2>/dev/null; COMPREPLY=($(compgen -d -- \"$cur\"))");
                break;
            case CliValueKind::Text:
                strReply = QStringLiteral("COMPREPLY=()");
                break;
            }
            arrValueCases.append(QStringLiteral("        --%1) %2; return 0 ;;\n").arg(strName, strReply));
        }
    }
    QStringList arrGeneralWithValue;
    for (const CliOption& option : GeneralOptions()) {
        if (option.pszValue != nullptr)
            arrGeneralWithValue.append(QStringLiteral("--") + QLatin1String(option.pszName));
    }
    QStringList arrCommands;
    QString strCommandCases;
    for (const Command& command : Commands()) {
        arrCommands.append(QLatin1String(command.pszName));
        strCommandCases += QStringLiteral("        %1) options+=%2 ;;\n")
                               .arg(QLatin1String(command.pszName), ShellQuoted(u' ' + OptionWords(command.options)));
    }

    QString strScript = QStringLiteral(
        "# bash completion for kitvane-cli, written by kitvane-cli --bash-completion\n"
        "# from its command table.\n"
        "\n"
        "# The names of the data sources that kitvane-cli dsns lists.\n"
        "_kitvane_cli_data_sources()\n"
        "{\n"
        "    local IFS=$'\\n' kind name rest names=()\n"
        "    while IFS=$'\\t' read -r kind name rest; do\n"
        "        names+=(\"$name\")\n"
        "    done < <(\"${COMP_WORDS[0]}\" dsns 2>/dev/null)\n"
        "    COMPREPLY=($(compgen -W \"${names[*]}\" -- \"$1\"))\n"
        "    local i\n"
        "    for i in \"${!COMPREPLY[@]}\"; do\n"
        "        COMPREPLY[i]=$(printf '%q' \"${COMPREPLY[i]}\")\n"
        "    done\n"
        "}\n"
        "\n"
        "_kitvane_cli()\n"
        "{\n"
        "    local cur=${COMP_WORDS[COMP_CWORD]} prev= command= i\n"
        "    ((COMP_CWORD > 0)) && prev=${COMP_WORDS[COMP_CWORD - 1]}\n"
        "    # The command: the first word that is neither an option nor a general option's value.\n"
        "    for ((i = 1; i < COMP_CWORD; i++)); do\n"
        "        case ${COMP_WORDS[i]} in\n");
    if (!arrGeneralWithValue.isEmpty())
        strScript += QStringLiteral("            %1) ((i++)) ;;\n").arg(arrGeneralWithValue.join(u'|'));
    strScript += QStringLiteral(
        "            -*) ;;\n"
        "            *) command=${COMP_WORDS[i]}; break ;;\n"
        "        esac\n"
        "    done\n"
        "    case $prev in\n");
    strScript += arrValueCases.join(QString());
    strScript += QStringLiteral("    esac\n"
                                "    local options=%1\n"
                                "    if [[ -z $command ]]; then\n"
                                "        if [[ $cur == -* ]]; then\n"
                                "            COMPREPLY=($(compgen -W \"$options\" -- \"$cur\"))\n"
                                "        else\n"
                                "            COMPREPLY=($(compgen -W %2 -- \"$cur\"))\n"
                                "        fi\n"
                                "        return 0\n"
                                "    fi\n"
                                "    case $command in\n")
                     .arg(ShellQuoted(OptionWords(GeneralOptions())), ShellQuoted(arrCommands.join(u' ')));
    strScript += strCommandCases;
    strScript += QStringLiteral("    esac\n"
                                "    COMPREPLY=($(compgen -W \"$options\" -- \"$cur\"))\n"
                                "    return 0\n"
                                "}\n"
                                "complete -F _kitvane_cli kitvane-cli\n");
    return strScript;
}
