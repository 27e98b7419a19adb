#pragma once
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include "link/cp1251.h"

// Tests write lines as readable text; the program keeps them as code page 1251.
inline QByteArray cp(const QString &text)
{
    return cp1251::encode(text);
}

inline QList<QByteArray> cpLines(const QStringList &lines)
{
    QList<QByteArray> out;
    for (const auto &line : lines)
        out << cp(line);
    return out;
}

inline QStringList textLines(const QList<QByteArray> &lines)
{
    QStringList out;
    for (const auto &line : lines)
        out << cp1251::decode(line);
    return out;
}
