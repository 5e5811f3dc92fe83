#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// Reads a result file's bytes at given offsets, independently of the code
// under test: little-endian integers and UTF-16 fields assembled byte by byte.
namespace kvtest {

class LayoutReader
{
public:
    explicit LayoutReader(const QString& strPath)
    {
        QFile file(strPath);
        if (file.open(QIODevice::ReadOnly))
            m_bytes = file.readAll();
    }

    qint64 Size() const { return m_bytes.size(); }

    qint64 Int(qint64 nOffset, int nBytes) const
    {
        if (nOffset < 0 || nOffset + nBytes > m_bytes.size())
            return kOutside;
        quint64 nValue = 0;
        for (int i = nBytes - 1; i >= 0; --i)
            nValue = (nValue << 8) | quint8(m_bytes.at(nOffset + i));
        // Sign-extend from nBytes.
        const int nShift = 64 - 8 * nBytes;
        return qint64(nValue << nShift) >> nShift;
    }

    // nUnits code units, up to the first NUL.
    QString Text(qint64 nOffset, int nUnits) const
    {
        QString strText;
        for (int i = 0; i < nUnits; ++i) {
            const qint64 nUnit = Int(nOffset + 2 * i, 2);
            if (nUnit == kOutside || nUnit == 0)
                break;
            strText.append(QChar(char16_t(quint16(nUnit))));
        }
        return strText;
    }

    // True when the bytes of a field behind its text are all zero.
    bool ZeroFrom(qint64 nOffset, qint64 nBytes) const
    {
        for (qint64 i = 0; i < nBytes; ++i) {
            if (nOffset + i >= m_bytes.size() || m_bytes.at(nOffset + i) != 0)
                return false;
        }
        return true;
    }

    static constexpr qint64 kOutside = std::numeric_limits<qint64>::min();

private:
    QByteArray m_bytes;
};

}  // namespace kvtest
