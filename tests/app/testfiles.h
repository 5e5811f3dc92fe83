#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// Small file helpers of the application tests.

inline bool WriteTestFile(const QString& strPath, const QByteArray& bytes = QByteArray())
{
    QFile file(strPath);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QByteArray ReadTestFile(const QString& strPath)
{
    QFile file(strPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}
