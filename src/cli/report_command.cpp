#include "clicontext.h"
#include "report/dayreport.h"
#include "report/summarycsv.h"
#include "report/summarypages.h"

#include <cstdio>

namespace {

// A tolerance given on the command line must lie in the range the window's
// spin boxes allow; the saved settings are not changed.
bool parseTolerance(const QString &text, double low, double high, double *value)
{
    bool ok = false;
    const double v = text.toDouble(&ok);
    if (!ok || !(v >= low && v <= high))
        return false;
    *value = v;
    return true;
}

int runReport(CliContext &, const QStringList &args)
{
    QString file, csv, pdf;
    report::Tolerances tolerances = report::Tolerances::load();
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == QLatin1String("--file") && hasValue) {
            file = args[++i];
        } else if (a == QLatin1String("--csv") && hasValue) {
            csv = args[++i];
        } else if (a == QLatin1String("--pdf") && hasValue) {
            pdf = args[++i];
        } else if (a == QLatin1String("--temperature-tolerance") && hasValue) {
            if (!parseTolerance(args[++i], report::Tolerances::minTemperature, report::Tolerances::maxTemperature,
                                &tolerances.temperature))
                return fail(QStringLiteral("report: --temperature-tolerance must be %1 … %2")
                                .arg(report::Tolerances::minTemperature)
                                .arg(report::Tolerances::maxTemperature),
                            2);
        } else if (a == QLatin1String("--humidity-tolerance") && hasValue) {
            if (!parseTolerance(args[++i], report::Tolerances::minHumidity, report::Tolerances::maxHumidity,
                                &tolerances.humidity))
                return fail(QStringLiteral("report: --humidity-tolerance must be %1 … %2")
                                .arg(report::Tolerances::minHumidity)
                                .arg(report::Tolerances::maxHumidity),
                            2);
        } else {
            return fail(QStringLiteral("report: unexpected argument %1").arg(a), 2);
        }
    }
    if (file.isEmpty())
        return fail(QStringLiteral("report needs --file PATH"), 2);

    report::DayReport day;
    QString message;
    if (!report::loadReport(file, tolerances, &day, &message))
        return fail(message);
    if (!message.isEmpty())
        std::fprintf(stderr, "%s\n", qPrintable(message));

    if (csv.isEmpty() && pdf.isEmpty()) {
        const QByteArray text = report::csv(day);
        std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
        return 0;
    }
    if (!csv.isEmpty() && !report::writeCsv(day, csv, &message))
        return fail(message);
    if (!pdf.isEmpty() && !report::writePdf(day, pdf, &message))
        return fail(message);
    return 0;
}

const CliCommandRegistration registration(
    {"report", "report --file PATH [--csv OUT] [--pdf OUT] [--temperature-tolerance T] [--humidity-tolerance H]\n"
               "                        the day's summary of every cabinet; CSV on stdout without --csv/--pdf",
     runReport});

}  // namespace
