#include "app/placementtext.h"


#include <limits>

namespace {

constexpr int kDefaultWidth = 680;
constexpr int kDefaultHeight = 505;

}  // namespace

int LeadingInt(const QString& strText)
{
    qsizetype i = 0;
    while (i < strText.size() && (strText.at(i) == u' ' || strText.at(i) == u'\t'))
        ++i;
    bool bNegative = false;
    if (i < strText.size() && (strText.at(i) == u'-' || strText.at(i) == u'+')) {
        bNegative = strText.at(i) == u'-';
        ++i;
    }
    qint64 nValue = 0;
    for (; i < strText.size() && strText.at(i) >= u'0' && strText.at(i) <= u'9'; ++i) {
        nValue = nValue * 10 + (strText.at(i).unicode() - u'0');
        // Saturate instead of overflowing on absurd stored values.
        if (nValue > std::numeric_limits<int>::max())
            return bNegative ? std::numeric_limits<int>::min() : std::numeric_limits<int>::max();
    }
    return int(bNegative ? -nValue : nValue);
}

QString FormatWindowRect(const QRect& rect)
{
    return QStringLiteral("%1,%2,%3,%4")
        .arg(rect.left())
        .arg(rect.top())
        .arg(rect.left() + rect.width())
        .arg(rect.top() + rect.height());
}

bool ParseWindowRect(const QString& strText, QRect& rect)
{
    int anValues[4];
    qsizetype nStart = 0;
    for (int i = 0; i < 4; ++i) {
        const qsizetype nComma = i < 3 ? strText.indexOf(u',', nStart) : -1;
        if (i < 3 && nComma < 0)
            return false;
        anValues[i] = LeadingInt(strText.mid(nStart, nComma < 0 ? -1 : nComma - nStart));
        nStart = nComma + 1;
    }
    rect = QRect(QPoint(anValues[0], anValues[1]),
                 QSize(anValues[2] - anValues[0], anValues[3] - anValues[1]));
    return true;
}

QRect DefaultWindowRect(const QSize& screenSize)
{
    return QRect((screenSize.width() - kDefaultWidth) / 2, (screenSize.height() - kDefaultHeight) / 2,
                 kDefaultWidth, kDefaultHeight);
}

QString FormatWindowSize(const QSize& size)
{
    return QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
}

bool ParseWindowSize(const QString& strText, QSize& size)
{
    const qsizetype nX = strText.indexOf(u'x');
    if (nX < 0)
        return false;
    const int nWidth = LeadingInt(strText.left(nX));
    const int nHeight = LeadingInt(strText.mid(nX + 1));
    if (nWidth <= 0 || nHeight <= 0)
        return false;
    size = QSize(nWidth, nHeight);
    return true;
}
