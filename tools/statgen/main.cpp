// statgen: writes a realistic day statistics file for a set of cabinets.
//
//   statgen --date 2009-03-05 --cabinets 1-10,15 --seed 7 --out cache/
//
// --out names the file, or a folder to write the day file into under the
// collector's name for it ("YY-MM-DD.INC"); without --out the day file is
// written into the current folder.
#include "statgen.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <cstdio>

static int fail(const QString &why)
{
    std::fprintf(stderr, "statgen: %s\n", qPrintable(why));
    return 1;
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Writes a realistic day statistics file (named YY-MM-DD.INC) for chosen cabinets."));
    parser.addHelpOption();
    const QCommandLineOption date(QStringLiteral("date"), QStringLiteral("Day of the file, YYYY-MM-DD (default: today)."),
                                  QStringLiteral("date"));
    const QCommandLineOption cabinets(QStringLiteral("cabinets"),
                                      QStringLiteral("Cabinet numbers 1-63, e.g. 1-10,15 (default: 1-10)."),
                                      QStringLiteral("list"), QStringLiteral("1-10"));
    const QCommandLineOption seed(QStringLiteral("seed"), QStringLiteral("Random seed (default: 1)."),
                                  QStringLiteral("n"), QStringLiteral("1"));
    const QCommandLineOption out(QStringLiteral("out"), QStringLiteral("Output file or folder."),
                                 QStringLiteral("path"));
    const QCommandLineOption noGaps(QStringLiteral("no-gaps"), QStringLiteral("Record every slot of every cabinet."));
    parser.addOptions({date, cabinets, seed, out, noGaps});
    parser.process(app);
    if (!parser.positionalArguments().isEmpty())
        return fail(QStringLiteral("unexpected argument \"%1\"").arg(parser.positionalArguments().first()));

    statgen::Options options;
    options.date = parser.isSet(date) ? QDate::fromString(parser.value(date), Qt::ISODate) : QDate::currentDate();
    if (!options.date.isValid() || options.date.year() < 2000 || options.date.year() > 2099)
        return fail(QStringLiteral("bad date \"%1\" (YYYY-MM-DD, years 2000-2099)").arg(parser.value(date)));
    QString error;
    if (!statgen::parseCabinets(parser.value(cabinets), &options.cabinets, &error))
        return fail(error);
    bool ok = false;
    options.seed = parser.value(seed).toUInt(&ok);
    if (!ok)
        return fail(QStringLiteral("bad seed \"%1\"").arg(parser.value(seed)));
    options.gaps = !parser.isSet(noGaps);

    QString path = parser.value(out);
    if (path.isEmpty() || QFileInfo(path).isDir() || path.endsWith(QLatin1Char('/')))
        path = QDir(path.isEmpty() ? QStringLiteral(".") : path).filePath(statgen::dayFileName(options.date));

    const QByteArray bytes = statgen::generateDay(options);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return fail(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
    std::printf("%s: %lld bytes, %lld cabinets\n", qPrintable(path), static_cast<long long>(bytes.size()),
                static_cast<long long>(options.cabinets.size()));
    return 0;
}
