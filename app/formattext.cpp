#include "app/formattext.h"

#include "app/language.h"

QString FormatText(const QString& strFormat, std::initializer_list<QString> args)
{
    QString strResult;
    strResult.reserve(strFormat.size());
    auto itArg = args.begin();
    for (qsizetype i = 0; i < strFormat.size(); ++i) {
        const QChar c = strFormat.at(i);
        const QChar next = i + 1 < strFormat.size() ? strFormat.at(i + 1) : QChar();
        if (c == u'%' && next == u'%') {
            strResult += u'%';
            ++i;
        } else if (c == u'%' && (next == u's' || next == u'd') && itArg != args.end()) {
            strResult += *itArg++;
            ++i;
        } else {
            strResult += c;
        }
    }
    return strResult;
}

QString FormatLangString(int nId, std::initializer_list<QString> args)
{
    return FormatText(LoadLangString(nId), args);
}
