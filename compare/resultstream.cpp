#include "compare/resultstream.h"

#include <QFile>
#include <QtEndian>

#include <algorithm>
#include <vector>

CResultStream::CResultStream(QIODevice* pDevice) : m_pFile(pDevice), m_bOk(pDevice != nullptr && pDevice->isOpen())
{
    if (!m_bOk)
        m_strError = QStringLiteral("no result file");
}

bool CResultStream::Fail(const QString& strReason)
{
    if (m_bOk) {
        m_bOk = false;
        m_strError = strReason.isEmpty() ? QStringLiteral("unknown error") : strReason;
    }
    return false;
}

bool CResultStream::Seek(qint64 nPos)
{
    if (!m_bOk)
        return false;
    // Already there: a seek would push buffered writes out for nothing.
    if (nPos >= 0 && nPos == m_pFile->pos())
        return true;
    // A buffer cannot seek past its end (a file can, and fails the read
    // there): the same failure, without the buffer's warning.
    if (nPos > m_pFile->size() && qobject_cast<QFileDevice*>(m_pFile) == nullptr)
        return Fail(QStringLiteral("unexpected end of file"));
    if (nPos < 0 || !m_pFile->seek(nPos))
        return Fail(m_pFile->errorString());
    return true;
}

bool CResultStream::SeekEnd()
{
    const qint64 nLength = GetLength();
    return nLength >= 0 && Seek(nLength);
}

qint64 CResultStream::GetLength()
{
    // The length counts buffered writes only once they reached the file; a
    // failed flush would make it read as 0.
    if (!Flush())
        return -1;
    return m_pFile->size();
}

bool CResultStream::SetLength(qint64 nLength)
{
    if (!m_bOk)
        return false;
    auto* pFile = qobject_cast<QFileDevice*>(m_pFile);
    if (pFile == nullptr || !pFile->resize(nLength))
        return Fail(pFile != nullptr ? pFile->errorString() : QStringLiteral("the stream cannot be resized"));
    return true;
}

bool CResultStream::Flush()
{
    if (!m_bOk)
        return false;
    auto* pFile = qobject_cast<QFileDevice*>(m_pFile);
    if (pFile != nullptr && !pFile->flush())
        return Fail(pFile->errorString());
    return true;
}

bool CResultStream::WriteBytes(QByteArrayView bytes)
{
    WriteBytes(bytes.constData(), bytes.size());
    return m_bOk;
}

void CResultStream::WriteBytes(const char* pBytes, qint64 nSize)
{
    if (m_bOk && m_pFile->write(pBytes, nSize) != nSize)
        Fail(m_pFile->errorString());
}

bool CResultStream::ReadBytes(char* pBytes, qint64 nSize)
{
    if (!m_bOk)
        return false;
    if (m_pFile->read(pBytes, nSize) != nSize) {
        const auto* pFile = qobject_cast<const QFileDevice*>(m_pFile);
        return Fail(pFile != nullptr && pFile->error() != QFileDevice::NoError ? pFile->errorString()
                                                                               : QStringLiteral("unexpected end of file"));
    }
    return true;
}

template <class T> void CResultStream::WriteInt(T nValue)
{
    char bytes[sizeof(T)];
    qToLittleEndian(nValue, bytes);
    WriteBytes(bytes, sizeof(T));
}

template <class T> T CResultStream::ReadInt()
{
    char bytes[sizeof(T)];
    return ReadBytes(bytes, sizeof(T)) ? qFromLittleEndian<T>(bytes) : T(0);
}

void CResultStream::WriteInt16(qint16 nValue) { WriteInt(nValue); }
void CResultStream::WriteInt32(qint32 nValue) { WriteInt(nValue); }
void CResultStream::WriteInt64(qint64 nValue) { WriteInt(nValue); }
qint16 CResultStream::ReadInt16() { return ReadInt<qint16>(); }
qint32 CResultStream::ReadInt32() { return ReadInt<qint32>(); }
qint64 CResultStream::ReadInt64() { return ReadInt<qint64>(); }

void CResultStream::WriteText(const QString& strText, int nWidth)
{
    if (nWidth <= 0)
        return;
    // Dictionary and name widths are small: no allocation per field.
    char stackBytes[256];
    std::vector<char> heapBytes;
    const std::size_t nSize = std::size_t(nWidth) * 2;
    char* pBytes = stackBytes;
    if (nSize > sizeof(stackBytes)) {
        heapBytes.resize(nSize);
        pBytes = heapBytes.data();
    }
    const qsizetype nUnits = qMin<qsizetype>(strText.size(), nWidth);
    for (qsizetype i = 0; i < nUnits; ++i)
        qToLittleEndian(quint16(strText.at(i).unicode()), pBytes + 2 * i);
    std::fill(pBytes + 2 * nUnits, pBytes + nSize, char(0));
    WriteBytes(pBytes, qint64(nSize));
}

QString CResultStream::ReadText(int nWidth)
{
    if (nWidth <= 0)
        return QString();
    std::vector<char> bytes(std::size_t(nWidth) * 2, 0);
    if (!ReadBytes(bytes.data(), qint64(bytes.size())))
        return QString();
    QString strText;
    for (int i = 0; i < nWidth; ++i) {
        const quint16 c = qFromLittleEndian<quint16>(bytes.data() + 2 * i);
        if (c == 0)
            break;
        strText.append(QChar(c));
    }
    return strText;
}
