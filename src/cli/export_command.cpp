#include "clicontext.h"
#include "viewer/statexport.h"

#include <cstdio>

namespace {

int runExport(CliContext &, const QStringList &args)
{
    QString file, csv, png;
    int cabinet = 0;
    QSize size = statexport::defaultPictureSize;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        const bool hasValue = i + 1 < args.size();
        bool ok = true;
        if (a == QLatin1String("--file") && hasValue)
            file = args[++i];
        else if (a == QLatin1String("--cabinet") && hasValue)
            cabinet = args[++i].toInt(&ok);
        else if (a == QLatin1String("--csv") && hasValue)
            csv = args[++i];
        else if (a == QLatin1String("--png") && hasValue)
            png = args[++i];
        else if (a == QLatin1String("--width") && hasValue)
            size.setWidth(args[++i].toInt(&ok));
        else if (a == QLatin1String("--height") && hasValue)
            size.setHeight(args[++i].toInt(&ok));
        else
            return fail(QStringLiteral("export: unexpected argument %1").arg(a), 2);
        if (!ok)
            return fail(QStringLiteral("export: %1 needs a number").arg(a), 2);
    }
    if (file.isEmpty() || (csv.isEmpty() && png.isEmpty()))
        return fail(QStringLiteral("export needs --file PATH, --cabinet N and --csv OUT and/or --png OUT"), 2);
    if (cabinet < 1 || cabinet > 63)
        return fail(QStringLiteral("export: --cabinet must be 1 … 63"), 2);
    if (size.width() < 200 || size.height() < 150 || size.width() > 20000 || size.height() > 20000)
        return fail(QStringLiteral("export: picture size out of range"), 2);

    QString message;
    if (!csv.isEmpty() && !statexport::exportCsv(file, cabinet, csv, &message))
        return fail(message);
    if (!message.isEmpty())
        std::fprintf(stderr, "%s\n", qPrintable(message));
    message.clear();
    if (!png.isEmpty() && !statexport::exportPng(file, cabinet, png, size, &message))
        return fail(message);
    if (!message.isEmpty() && csv.isEmpty())
        std::fprintf(stderr, "%s\n", qPrintable(message));
    return 0;
}

const CliCommandRegistration registration(
    {"export", "export --file PATH --cabinet N [--csv OUT] [--png OUT [--width W --height H]]\n"
               "                        one cabinet's day as CSV and/or as the viewer's charts",
     runExport});

}  // namespace
