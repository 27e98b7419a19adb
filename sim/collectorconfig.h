#pragma once
#include <QMap>
#include <QtGlobal>
#include <optional>

// How a simulated collector starts out and how often it talks on its own.
// An interval of 0 turns that kind of unsolicited output off.
struct CollectorConfig
{
    // Bits of a cabinet's state byte as the collector reports it.
    static constexpr quint8 linkConnected = 0x01;
    static constexpr quint8 linkAlarm = 0x02;
    static constexpr quint8 monitored = 0x04;
    static constexpr quint8 temporary = 0x08;

    bool cardPresent = true;
    bool taskPresent = true;
    std::optional<qint64> clockOffsetMs = 0;  // against the system clock; none: the clock is not set
    QMap<int, quint8> cabinets;               // cabinet number 1..63 -> state byte
    quint8 ownState = 0;                      // reported as number 0, which opens a cycle
    quint8 closingState = 0;                  // reported as number 64, which closes it

    int reportMs = 2000;        // "%BOX: " cycles
    int statusMs = 5000;        // "%CARD:" and "%RULE:"
    int clockMs = 1000;         // "%TIME:" or "%NOTIME"
    bool gsmChatter = false;    // marker bytes 3 and 4 now and then
    int gsmIntervalMs = 40000;  // from one talk with the GSM module to the next
    int gsmTalkMs = 1500;       // between byte 3 and byte 4

    // No timer at all: everything the collector sends is an answer, or what a
    // test asks for explicitly.
    static CollectorConfig quiet();

    // What the built-in demonstration shows: card and task present, a running
    // clock, a dozen cabinets in a realistic mix of states, one in alarm, and
    // the GSM module busy now and then.
    static CollectorConfig demonstration();
};
