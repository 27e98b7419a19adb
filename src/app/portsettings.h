#pragma once
#include <QString>

// The saved port choice (comPort, comFriendly) under KIVO/Incubator: read
// from the user's settings, falling back to the machine's when the user has
// no port; written to the user's settings only.
struct PortChoice
{
    QString path;
    QString friendly;
};

PortChoice loadPortChoice();
void savePortChoice(const PortChoice &choice);
