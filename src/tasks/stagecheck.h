#pragma once
#include <QString>

// What the stage dialog was given, and its checks in their order: a period,
// then the temperature (decimal comma), then the humidity.
struct StageEntry
{
    int days = 0;
    int hours = 0;
    QString temperature;  // as typed, e.g. "37,5"
    QString humidity;     // as typed, e.g. "55"
};

struct StageCheck
{
    QString error;  // the message to show; empty when the stage is good
    float temperature = 0.0f;
    qint32 humidity = 0;
    bool ok() const { return error.isEmpty(); }
};

StageCheck checkStage(const StageEntry &entry);

// The temperature edit shows a decimal comma: every "." becomes ",".
QString withDecimalComma(const QString &text);
