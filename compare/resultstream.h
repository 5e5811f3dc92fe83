#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

class QIODevice;

// Little-endian reading and writing of the comparison result files. The
// first failure of a seek, read or write is kept: every later call does
// nothing, so nothing is ever written at a position that is not the one
// asked for, and the run can tell why it stopped.
class CResultStream
{
public:
    // On a result file, or on a buffer in memory (which cannot be resized
    // and has nothing to flush).
    explicit CResultStream(QIODevice* pDevice);

    bool IsOk() const { return m_bOk; }
    // The system's reason of the first failure; empty while all is well.
    const QString& GetErrorText() const { return m_strError; }

    bool Seek(qint64 nPos);
    bool SeekEnd();
    // -1 once the stream has failed.
    qint64 GetLength();
    bool SetLength(qint64 nLength);
    // Pushes buffered writes to the file, where a full disk shows.
    bool Flush();

    void WriteInt16(qint16 nValue);
    void WriteInt32(qint32 nValue);
    void WriteInt64(qint64 nValue);
    // nWidth code units: the text, cut to the width, NUL-padded when shorter.
    void WriteText(const QString& strText, int nWidth);
    // Bytes as they are; false once the stream has failed.
    bool WriteBytes(QByteArrayView bytes);

    qint16 ReadInt16();
    qint32 ReadInt32();
    qint64 ReadInt64();
    // nWidth code units, taken up to the first NUL.
    QString ReadText(int nWidth);

private:
    bool Fail(const QString& strReason);
    void WriteBytes(const char* pBytes, qint64 nSize);
    bool ReadBytes(char* pBytes, qint64 nSize);
    template <class T> void WriteInt(T nValue);
    template <class T> T ReadInt();

    QIODevice* m_pFile;
    bool m_bOk;
    QString m_strError;
};
