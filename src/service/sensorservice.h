#pragma once
#include "sensorrecord.h"

#include <QStringList>

class Link;
class OperatorUi;

// The pauses of the sensor exchanges, in milliseconds. The defaults are the
// program's real values; tests shorten them.
struct SensorTimings
{
    int settleMs = 100;       // after the collector's own word, before the sensor's
    int readSelectMs = 500;   // after selecting the sensor for a read
    int writeSelectMs = 100;  // after selecting the sensor for a write
    int replyMs = 1000;       // from a command to reading the sensor's answer
};

// The sensor service's traffic over the link: reading and writing a sensor's
// parameter record through the collector's bridge, measurement mode, reset,
// and the collector's search and poll. Read and write hold the port and read
// the answer themselves; their pauses process events (nothing else would
// move the bytes) but a second exchange is refused while one runs. Messages
// for the operator go through OperatorUi.
class SensorService
{
public:
    static constexpr int broadcastAddress = 63;   // every device on the bus

    enum class ReadOutcome { Good, BadChecksum, NoAnswer, Busy };
    struct ReadResult
    {
        ReadOutcome outcome = ReadOutcome::NoAnswer;
        SensorRecord record;   // as it came (Good, BadChecksum)
    };
    enum class WriteOutcome { Written, BadChecksum, NoAnswer, Declined, Invalid, Busy };

    SensorService(Link &link, OperatorUi &ui, SensorTimings timings = {});

    void setTimings(const SensorTimings &timings) { timings_ = timings; }
    const SensorTimings &timings() const { return timings_; }
    bool busy() const { return busy_; }

    // "Считатать": bridge, select, 'R', read 64 bytes; back to automatic mode.
    // No answer and a bad checksum are reported; a record with a bad checksum
    // is still returned. An address outside 1..63 sends nothing.
    ReadResult readRecord(int address);
    // "Записать": the record the rows describe. A number that differs from
    // the address is confirmed with the operator first; a row that does not
    // convert is reported and nothing at all is sent.
    WriteOutcome writeRecord(int address, const QStringList &rows);

    // Measurement mode on ('D' to the sensor; the collector stays in bridge
    // mode so the pump receives the frames) and off (automatic mode).
    void startMeasurement(int address);
    void stopMeasurement();
    // 'e' to the sensor; no mode change.
    void resetSensor(int address);
    // The collector's search and poll; the answers come as terminal lines.
    void search();
    void poll();

    // The collector's two modes, addressed by its own bus word.
    void bridgeMode();
    void autoMode();

private:
    void selectSensor(int address, int pauseMs);
    void addressSensor(int address);
    void discardPortBuffers();
    void sleep(int ms);
    QByteArray readAnswer();

    Link &link_;
    OperatorUi &ui_;
    SensorTimings timings_;
    bool busy_ = false;
};
