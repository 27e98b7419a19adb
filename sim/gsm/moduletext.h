#pragma once
#include <QByteArray>
#include <QByteArrayView>

// A text the program passed to the GSM module through the collector. The
// module reads it as lines ended by CR and skips empty ones:
//   "*s"                       send your settings
//   "*C" checksum, "*S" items  a settings message; the checksum is the crc16
//                              of the items, in decimal
//   "*R"                       the write is over
struct ModuleText
{
    enum class Kind { Other, ReadRequest, SettingsMessage, Close };
    Kind kind = Kind::Other;
    bool intact = false;   // a settings message in its form, whose checksum matches its items
    QByteArray items;      // a settings message's text after "*S"
};

ModuleText readModuleText(QByteArrayView text);
