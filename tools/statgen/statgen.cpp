#include "statgen.h"

#include <QStringList>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

namespace statgen {

namespace {

constexpr int slotsPerDay = 8640;
constexpr int readingsPerSlot = 5;   // one reading every two seconds

// Deterministic draws on top of the standard engine (whose output the
// standard fixes, unlike that of its distributions).
class Random
{
public:
    explicit Random(std::seed_seq &seq) : m_engine(seq) {}
    double uniform() { return (double(m_engine()) + 0.5) / 4294967296.0; }
    int below(int n) { return int(uniform() * n); }
    bool chance(double p) { return uniform() < p; }
    double gauss()
    {
        const double u = uniform(), v = uniform();
        return std::sqrt(-2.0 * std::log(u)) * std::cos(6.283185307179586 * v);
    }

private:
    std::mt19937 m_engine;
};

struct Interval
{
    int from, to;   // slots, to exclusive
    bool contains(int slot) const { return slot >= from && slot < to; }
};

bool inAny(const std::vector<Interval> &list, int slot)
{
    return std::any_of(list.begin(), list.end(), [slot](const Interval &i) { return i.contains(slot); });
}

struct Cabinet
{
    int number = 0;
    Random rng;
    // Stage: incubation day at midnight and the hour it moves to the next.
    int day = 0;
    int dayChangeSlot = 0;
    int turnMinute = 0;
    bool idle = false;        // empty cabinet without a task
    bool monitored = true;    // alarm control
    double t = 37.5, h = 55;
    bool heater = false, cooler = false, humidifier = false;
    int tilt = -1;            // -1, 0 (passing), +1
    int turnDirection = 1;
    std::vector<Interval> doors, offline, sensorFault, heaterFault;

    explicit Cabinet(std::seed_seq &seq) : rng(seq) {}

    int dayAt(int slot) const { return day + (slot >= dayChangeSlot ? 1 : 0); }

    double tempSet(int slot) const
    {
        const int d = dayAt(slot);
        return d <= 10 ? 37.8 : d <= 17 ? 37.6 : 37.2;
    }

    double humSet(int slot) const { return dayAt(slot) <= 17 ? 55.0 : 70.0; }
};

void randomIntervals(Random &rng, std::vector<Interval> &out, int count, int minLen, int maxLen)
{
    for (int i = 0; i < count; ++i) {
        const int len = minLen + rng.below(maxLen - minLen + 1);
        const int from = rng.below(slotsPerDay - len);
        out.push_back({from, from + len});
    }
}

void putU16(char *p, uint16_t v)
{
    p[0] = char(v & 0xFF);
    p[1] = char(v >> 8);
}

void putF32(char *p, float f)
{
    uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    for (int i = 0; i < 4; ++i)
        p[i] = char((bits >> (8 * i)) & 0xFF);
}

struct Block
{
    uint16_t tCount = 0, hCount = 0, alarms = 0, states = 0;
    float tSet = 0, tSum = 0, hSet = 0, hSum = 0;
};

// One slot of one cabinet: five readings of the heater, humidifier and
// door physics, then the words the collector would record.
Block simulateSlot(Cabinet &c, int slot, bool mainsOut)
{
    Block b;
    const bool doorOpen = inAny(c.doors, slot);
    const double tSet = c.idle ? 0 : c.tempSet(slot);
    const double hSet = c.idle ? 0 : c.humSet(slot);
    const bool heaterBroken = inAny(c.heaterFault, slot);
    const double ambient = 24.0;

    for (int r = 0; r < readingsPerSlot; ++r) {
        if (!c.idle) {
            if (c.t < tSet - 0.04)
                c.heater = true;
            else if (c.t > tSet + 0.02)
                c.heater = false;
            c.cooler = c.t > tSet + 0.35 || (c.cooler && c.t > tSet + 0.1);
            if (c.h < hSet - 1.5)
                c.humidifier = true;
            else if (c.h > hSet + 0.5)
                c.humidifier = false;
        } else {
            c.heater = c.cooler = c.humidifier = false;
        }
        const bool heating = c.heater && !heaterBroken && !mainsOut;
        const double loss = (doorOpen ? 0.002 : 0.00045) * (c.t - ambient);
        c.t += (heating ? 0.011 : 0.0) - loss - (c.cooler && !mainsOut ? 0.01 : 0.0) + 0.003 * c.rng.gauss();
        const double dry = (doorOpen ? 0.15 : 0.02) * (c.h - 35.0) / 20.0;
        c.h += (c.humidifier && !mainsOut ? 0.06 : 0.0) - dry + 0.02 * c.rng.gauss();
        c.h = std::clamp(c.h, 20.0, 95.0);

        const bool sensorOk = !inAny(c.sensorFault, slot);
        if (sensorOk) {
            b.tSum += float(c.t + 0.01 * c.rng.gauss());
            b.hSum += float(c.h + 0.1 * c.rng.gauss());
            ++b.tCount;
            ++b.hCount;
        }
    }

    // Hourly turning: the trays swing between -45 and +45 through 0,
    // taking four slots (40 s).
    const int turnSlot = slot % 360 - c.turnMinute * 6;
    const bool moving = !c.idle && turnSlot >= 0 && turnSlot < 4;
    if (moving) {
        if (turnSlot == 0)
            c.turnDirection = c.tilt < 0 ? 1 : -1;
        c.tilt = (turnSlot == 1 || turnSlot == 2) ? 0 : (turnSlot == 3 ? c.turnDirection : c.tilt);
    }

    uint16_t states = 0;
    if (doorOpen)
        states |= 0x0001;
    if (moving) {
        states |= 0x0002;
        if (c.turnDirection > 0)
            states |= 0x0004;
    }
    states |= c.tilt < 0 ? 0x0008 : c.tilt == 0 ? 0x0010 : 0x0020;
    if (c.heater)
        states |= 0x0040;
    if (c.cooler)
        states |= 0x0080;
    if (c.humidifier)
        states |= 0x0100;
    if (c.monitored)
        states |= 0x0200;
    if (c.cooler || (slot % 180) < 30)
        states |= 0x0400;   // ventilation: five minutes every half hour, and with the cooler

    uint16_t alarms = 0;
    if (c.monitored && !c.idle) {
        if (doorOpen) {
            // The door alarm sounds after three minutes open.
            for (const Interval &d : c.doors)
                if (d.contains(slot) && slot - d.from >= 18)
                    alarms |= 0x0002;
        }
        if (heaterBroken && c.t < tSet - 0.5)
            alarms |= 0x0040;
        if (mainsOut)
            alarms |= 0x0200;
        if (inAny(c.sensorFault, slot))
            alarms |= 0x0400;
        if (c.t > tSet + 1.0)
            alarms |= 0x0080;   // the cooler cannot keep up
    }

    b.tSet = float(tSet);
    b.hSet = float(hSet);
    b.alarms = alarms;
    b.states = states;
    return b;
}

}  // namespace

QString dayFileName(const QDate &date)
{
    return QStringLiteral("%1-%2-%3.INC")
        .arg(date.year() % 100, 2, 10, QLatin1Char('0'))
        .arg(date.month(), 2, 10, QLatin1Char('0'))
        .arg(date.day(), 2, 10, QLatin1Char('0'));
}

bool parseCabinets(const QString &text, QList<int> *cabinets, QString *error)
{
    QList<int> list;
    auto fail = [&](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    for (const QString &part : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QStringList ends = part.trimmed().split(QLatin1Char('-'));
        bool ok1 = false, ok2 = false;
        const int from = ends.value(0).toInt(&ok1);
        const int to = ends.size() == 2 ? ends.value(1).toInt(&ok2) : from;
        if (!ok1 || (ends.size() == 2 && !ok2) || ends.size() > 2)
            return fail(QStringLiteral("bad cabinet list item \"%1\"").arg(part));
        if (from < 1 || to > 63 || from > to)
            return fail(QStringLiteral("cabinet numbers must lie in 1..63: \"%1\"").arg(part));
        for (int n = from; n <= to; ++n)
            list.append(n);
    }
    std::sort(list.begin(), list.end());
    list.erase(std::unique(list.begin(), list.end()), list.end());
    if (list.isEmpty())
        return fail(QStringLiteral("no cabinets given"));
    *cabinets = list;
    return true;
}

QByteArray generateDay(const Options &options)
{
    const uint32_t dateKey = uint32_t(options.date.isValid() ? options.date.toJulianDay() : 0);
    QList<int> numbers;
    for (int n : options.cabinets)
        if (n >= 1 && n <= 63 && !numbers.contains(n))
            numbers.append(n);

    // Gaps of the whole collector, shared by all cabinets; a mains failure.
    std::seed_seq daySeq{options.seed, dateKey, 0u};
    Random day(daySeq);
    std::vector<Interval> gaps, mains;
    if (options.gaps) {
        randomIntervals(day, gaps, 1 + day.below(2), 6, 120);
        if (day.chance(0.5))
            randomIntervals(day, mains, 1, 12, 60);
    }

    std::vector<Cabinet> cabinets;
    cabinets.reserve(size_t(numbers.size()));
    for (int n : numbers) {
        std::seed_seq seq{options.seed, dateKey, uint32_t(n)};
        Cabinet &c = cabinets.emplace_back(seq);
        c.number = n;
        Random &r = c.rng;
        c.day = r.below(21);
        c.dayChangeSlot = r.below(slotsPerDay);
        c.turnMinute = r.below(60);
        c.idle = r.chance(0.05);
        c.monitored = !r.chance(0.1);
        c.t = c.tempSet(0) + 0.05 * r.gauss();
        c.h = c.humSet(0) + r.gauss();
        c.tilt = r.chance(0.5) ? -1 : 1;
        randomIntervals(r, c.doors, 1 + r.below(4), 6, 40);
        if (options.gaps && r.chance(0.15))
            randomIntervals(r, c.offline, 1, 30, 400);
        if (r.chance(0.1))
            randomIntervals(r, c.sensorFault, 1, 6, 90);
        if (r.chance(0.1))
            randomIntervals(r, c.heaterFault, 1, 60, 240);
    }

    QByteArray out;
    out.reserve(slotsPerDay * (3 + 27 * qsizetype(cabinets.size())));
    std::vector<Block> blocks(cabinets.size());
    std::vector<uint8_t> present;
    present.reserve(cabinets.size());
    for (int slot = 0; slot < slotsPerDay; ++slot) {
        const bool mainsOut = inAny(mains, slot);
        present.clear();
        for (size_t i = 0; i < cabinets.size(); ++i) {
            // Cabinets keep running while the collector records nothing.
            const Block b = simulateSlot(cabinets[i], slot, mainsOut);
            if (!inAny(cabinets[i].offline, slot)) {
                blocks[present.size()] = b;
                present.push_back(uint8_t(cabinets[i].number));
            }
        }
        if (inAny(gaps, slot))
            continue;
        const int seconds = (slot % 6) * 10 + 8;
        const qsizetype at = out.size();
        out.resize(at + 3 + 27 * qsizetype(present.size()));
        char *p = out.data() + at;
        putU16(p, uint16_t(((slot / 360) << 11) | (((slot % 360) / 6) << 5) | (seconds / 2)));
        p[2] = char(present.size());
        std::memcpy(p + 3, present.data(), present.size());
        char *blk = p + 3 + present.size();
        for (size_t i = 0; i < present.size(); ++i, blk += 26) {
            const Block &b = blocks[i];
            putU16(blk + 0, b.tCount);
            putF32(blk + 2, b.tSet);
            putF32(blk + 6, b.tSum);
            putU16(blk + 10, b.hCount);
            putF32(blk + 12, b.hSet);
            putF32(blk + 16, b.hSum);
            putU16(blk + 20, b.alarms);
            putU16(blk + 22, b.states);
            putU16(blk + 24, 0);
        }
    }
    return out;
}

}  // namespace statgen
