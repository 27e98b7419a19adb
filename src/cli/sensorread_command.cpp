#include "clicontext.h"
#include "link/link.h"
#include "service/sensorrecord.h"
#include "service/sensorservice.h"

namespace {

int runSensorRead(CliContext &context, const QStringList &args)
{
    int address = SensorService::broadcastAddress;
    if (!args.isEmpty()) {
        bool ok = false;
        if (args.size() == 2 && args[0] == QLatin1String("--address"))
            address = args[1].toInt(&ok);
        if (!ok || address < 1 || address > SensorService::broadcastAddress)
            return fail(QStringLiteral("sensor-read takes only --address N, N from 1 to 63"), 2);
    }
    QString error;
    if (!context.connectLink(&error))
        return fail(error);

    SensorService service(context.link(), context.ui());
    const SensorService::ReadResult read = service.readRecord(address);
    if (read.outcome == SensorService::ReadOutcome::NoAnswer)
        return fail(QStringLiteral("the sensor at address %1 did not answer").arg(address));
    // A bad checksum has been reported on stderr; the record is shown anyway,
    // as the page shows it.
    QStringList rows = initialSensorRows();
    showRecord(read.record, rows);
    const QStringList &names = sensorRowNames();
    for (int row = 0; row < SensorRecord::rowCount; ++row)
        printOut(names[row] + QLatin1Char('\t') + rows[row]);
    return 0;
}

const CliCommandRegistration registration(
    {"sensor-read", "sensor-read [--address N]  print a sensor's parameters (name TAB value); N 1..63, 63 when not given",
     runSensorRead});

}  // namespace
