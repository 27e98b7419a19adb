#pragma once
#include <QList>
#include <QString>

// One entry of the port choice: what the operator reads and what is opened.
struct PortEntry
{
    QString caption;
    QString path;
};

inline const QString offlinePortPath = QStringLiteral("offline");
inline const QString offlinePortCaption = QStringLiteral("Автономный режим");

// The entries the port dialog offers, in its order: offline work first, then
// the built-in demonstration collector, then every serial port the system has
// (caption: description and port name).
QList<PortEntry> availablePorts();

// Builds the captions of present serial ports; split out so the rule can be
// tested without hardware.
QString portCaption(const QString &description, const QString &portName);

// The entry to preselect: the last whose caption contains "3303" or "USB";
// -1 when none does.
int preselectedPort(const QList<PortEntry> &entries);
