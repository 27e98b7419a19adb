#include "linecodec.h"

#include <cstdarg>
#include <cstdio>
#include <clocale>
#include <string>

#ifndef _WIN32
#include <locale.h>
#endif

// The C library's own scanf and printf give the reading rules the lines rely
// on (a blank matches any run of white space, "%s" takes one word, a mismatch
// stops the reading and leaves later fields alone). They run in the "C"
// locale so that the decimal point stays a point whatever the user's locale.
// The formats are code page 1251 bytes: "д." is E4 2E, "час." F7 E0 F1 2E,
// "°" B0.

namespace {

#define DAYS_HOURS_OUT "%02d \xE4. %02d \xF7\xE0\xF1."
#define DAYS_HOURS_IN "%d \xE4. %d \xF7\xE0\xF1."
#define SETPOINT_OUT "%2.1f\xB0" "C %02d%%"
#define SETPOINT_IN "%f\xB0" "C %d%%"
#define INTERVAL_OUT ", \t%02d.%02d.%02d %02d:00 \t%02d.%02d.%02d %02d:00"
#define INTERVAL_IN ", \t%d.%d.%d %d:00 \t%d.%d.%d %d:00"
#define NAME_IN "%99s"  // Name holds at most 99 bytes

static_assert(TLineFields::NameCapacity == 99, "NAME_IN must follow the capacity");

constexpr const char profileHeaderOut[] = "%s - " DAYS_HOURS_OUT;
constexpr const char profileHeaderIn[] = NAME_IN " - " DAYS_HOURS_IN;
constexpr const char stageOut[] = "  " DAYS_HOURS_OUT ", \t" SETPOINT_OUT;
constexpr const char stageIn[] = "  " DAYS_HOURS_IN ", \t" SETPOINT_IN;
constexpr const char taskHeaderOut[] = "%s - " DAYS_HOURS_OUT INTERVAL_OUT;
constexpr const char taskHeaderIn[] = NAME_IN " - " DAYS_HOURS_IN INTERVAL_IN;
constexpr const char taskStageOut[] = "  " DAYS_HOURS_OUT ", \t" SETPOINT_OUT INTERVAL_OUT;
constexpr const char taskStageIn[] = "  " DAYS_HOURS_IN ", \t" SETPOINT_IN INTERVAL_IN;

// Switches the calling thread to the "C" locale for one conversion.
class CLocaleScope
{
public:
#ifdef _WIN32
    CLocaleScope()
        : m_mode(_configthreadlocale(_ENABLE_PER_THREAD_LOCALE))
    {
        if (const char *old = std::setlocale(LC_ALL, nullptr))
            m_old = old;
        std::setlocale(LC_ALL, "C");
    }
    ~CLocaleScope()
    {
        std::setlocale(LC_ALL, m_old.c_str());
        _configthreadlocale(m_mode);
    }

private:
    int m_mode;
    std::string m_old;
#else
    CLocaleScope()
        : m_old(uselocale(cLocale()))
    {
    }
    ~CLocaleScope() { uselocale(m_old); }

private:
    static locale_t cLocale()
    {
        static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
        return c;
    }
    locale_t m_old;
#endif
};

QByteArray printLine(const char *format, ...)
{
    CLocaleScope scope;
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    QByteArray out;
    if (length > 0) {
        out.resize(length);
        std::vsnprintf(out.data(), size_t(length) + 1, format, again);
    }
    va_end(again);
    return out;
}

void scanLine(QByteArrayView line, const char *format, ...)
{
    // sscanf needs a terminating zero; a QByteArray always carries one.
    const QByteArray text = line.toByteArray();
    CLocaleScope scope;
    va_list args;
    va_start(args, format);
    std::vsscanf(text.constData(), format, args);
    va_end(args);
}

// The date fields go through ints so that a parse leaves unreached ones alone.
struct DateInts
{
    int sd, sm, sy, sh, ed, em, ey, eh;
    explicit DateInts(const TLineFields &f)
        : sd(f.StartDay), sm(f.StartMonth), sy(f.StartYear), sh(f.StartHour),
          ed(f.EndDay), em(f.EndMonth), ey(f.EndYear), eh(f.EndHour)
    {
    }
    void storeInto(TLineFields &f) const
    {
        f.StartDay = quint16(sd);
        f.StartMonth = quint16(sm);
        f.StartYear = quint16(sy);
        f.StartHour = quint16(sh);
        f.EndDay = quint16(ed);
        f.EndMonth = quint16(em);
        f.EndYear = quint16(ey);
        f.EndHour = quint16(eh);
        f.Start = CalendarHour::fromFields(f.StartYear, f.StartMonth, f.StartDay, f.StartHour);
        f.End = CalendarHour::fromFields(f.EndYear, f.EndMonth, f.EndDay, f.EndHour);
    }
};

struct NameBuffer
{
    char bytes[TLineFields::NameCapacity + 1] = {};
    void storeInto(TLineFields &f) const
    {
        if (bytes[0])
            f.Name = QByteArray(bytes);
    }
};

}  // namespace

bool isStageLine(QByteArrayView line)
{
    return !line.isEmpty() && line.front() == ' ';
}

void ParseProfileHeader(TLineFields &f, QByteArrayView line)
{
    NameBuffer name;
    scanLine(line, profileHeaderIn, name.bytes, &f.Days, &f.Hours);
    name.storeInto(f);
}

QByteArray FormatProfileHeader(const TLineFields &f)
{
    return printLine(profileHeaderOut, f.Name.constData(), int(f.Days), int(f.Hours));
}

void ParseStage(TLineFields &f, QByteArrayView line)
{
    scanLine(line, stageIn, &f.Days, &f.Hours, &f.Temperature, &f.Humidity);
}

QByteArray FormatStage(const TLineFields &f)
{
    return printLine(stageOut, int(f.Days), int(f.Hours), double(f.Temperature), int(f.Humidity));
}

void ParseTaskHeader(TLineFields &f, QByteArrayView line)
{
    NameBuffer name;
    DateInts d(f);
    scanLine(line, taskHeaderIn, name.bytes, &f.Days, &f.Hours,
             &d.sd, &d.sm, &d.sy, &d.sh, &d.ed, &d.em, &d.ey, &d.eh);
    name.storeInto(f);
    d.storeInto(f);
}

QByteArray FormatTaskHeader(const TLineFields &f)
{
    return printLine(taskHeaderOut, f.Name.constData(), int(f.Days), int(f.Hours),
                     int(f.StartDay), int(f.StartMonth), int(f.StartYear), int(f.StartHour),
                     int(f.EndDay), int(f.EndMonth), int(f.EndYear), int(f.EndHour));
}

void ParseTaskStage(TLineFields &f, QByteArrayView line)
{
    DateInts d(f);
    scanLine(line, taskStageIn, &f.Days, &f.Hours, &f.Temperature, &f.Humidity,
             &d.sd, &d.sm, &d.sy, &d.sh, &d.ed, &d.em, &d.ey, &d.eh);
    d.storeInto(f);
}

QByteArray FormatTaskStage(const TLineFields &f)
{
    return printLine(taskStageOut, int(f.Days), int(f.Hours), double(f.Temperature), int(f.Humidity),
                     int(f.StartDay), int(f.StartMonth), int(f.StartYear), int(f.StartHour),
                     int(f.EndDay), int(f.EndMonth), int(f.EndYear), int(f.EndHour));
}

void DecodeStartEnd(TLineFields &f)
{
    auto split = [](const CalendarHour &h, quint16 &day, quint16 &month, quint16 &year, quint16 &hour) {
        const QDate date = h.date();
        day = h.isValid() ? quint16(date.day()) : 0;
        month = h.isValid() ? quint16(date.month()) : 0;
        year = h.isValid() ? quint16(date.year()) : 0;
        hour = quint16(h.hour());
    };
    split(f.Start, f.StartDay, f.StartMonth, f.StartYear, f.StartHour);
    split(f.End, f.EndDay, f.EndMonth, f.EndYear, f.EndHour);
}

QByteArray formatPeriod(qint32 days, qint32 hours)
{
    return printLine(DAYS_HOURS_OUT, int(days), int(hours));
}

QByteArray formatSetpoint(float temperature, qint32 humidity)
{
    return printLine(SETPOINT_OUT, double(temperature), int(humidity));
}

QByteArray formatTemperature(float temperature)
{
    return printLine("%2.1f", double(temperature));
}

QByteArray formatDateHour(quint16 day, quint16 month, quint16 year, quint16 hour)
{
    return printLine("%02d.%02d.%02d %02d:00", int(day), int(month), int(year), int(hour));
}
