#include "cabinettask.h"

#include "tasks/profilelibrary.h"

namespace tasks {

namespace {

bool inside(const CalendarHour &t, const ProfileSpan &p)
{
    return p.start <= t && t <= p.end;
}

TaskRow stageRow(const TLineFields &f)
{
    TaskRow row;
    row.interval = formatPeriod(f.Days, f.Hours);
    row.setpoint = formatSetpoint(f.Temperature, f.Humidity);
    row.start = formatDateHour(f.StartDay, f.StartMonth, f.StartYear, f.StartHour);
    row.end = formatDateHour(f.EndDay, f.EndMonth, f.EndYear, f.EndHour);
    return row;
}

TaskRow profileRow(const TLineFields &f)
{
    TaskRow row;
    row.profile = true;
    row.caption = f.Name;
    row.interval = formatPeriod(f.Days, f.Hours);
    row.start = formatDateHour(f.StartDay, f.StartMonth, f.StartYear, f.StartHour);
    row.end = formatDateHour(f.EndDay, f.EndMonth, f.EndYear, f.EndHour);
    return row;
}

}  // namespace

TaskLayout RecalcTask(Lines &rule, TLineFields &f)
{
    // Forward: each stage starts where the one before it ended.
    CalendarHour running;
    for (auto &line : rule) {
        if (isStageLine(line)) {
            ParseTaskStage(f, line);
            f.Start = running;
            f.End = running.addHours(qint64(f.Days) * 24 + f.Hours);
            running = f.End;
            DecodeStartEnd(f);
            line = FormatTaskStage(f);
        } else {
            ParseTaskHeader(f, line);
            running = f.Start;
        }
    }

    // Backward: the first stage met is its profile's last, the stage met just
    // before the header its first.
    TaskLayout layout;
    layout.rows.resize(rule.size());
    bool noStageYet = true;
    CalendarHour profileEnd;
    CalendarHour firstStageStart;
    for (qsizetype i = rule.size() - 1; i >= 0; --i) {
        if (isStageLine(rule[i])) {
            ParseTaskStage(f, rule[i]);
            layout.rows[i] = stageRow(f);
            if (noStageYet)
                profileEnd = f.End;
            noStageYet = false;
            firstStageStart = f.Start;
        } else {
            ParseTaskHeader(f, rule[i]);
            const bool hasStages = !noStageYet;
            if (hasStages) {
                f.Start = firstStageStart;
                f.End = profileEnd;
            } else {
                f.End = f.Start;  // keeps its start for stages added later
            }
            DecodeStartEnd(f);
            rule[i] = FormatTaskHeader(f);
            layout.rows[i] = profileRow(f);
            layout.profiles.prepend({int(i), f.Start, f.End, hasStages});
            noStageYet = true;
        }
    }
    layout.overlap = profilesOverlap(layout.profiles);
    return layout;
}

bool profilesOverlap(const QList<ProfileSpan> &profiles)
{
    QList<ProfileSpan> timed;
    for (const auto &p : profiles) {
        if (p.hasStages && p.start.isValid() && p.end.isValid())
            timed.append(p);
    }
    for (qsizetype i = 0; i < timed.size(); ++i) {
        for (qsizetype j = 0; j < timed.size(); ++j) {
            if (i != j && (inside(timed[i].start, timed[j]) || inside(timed[i].end, timed[j])))
                return true;
        }
    }
    return false;
}

int headerAbove(const Lines &rule, int index)
{
    return profiles::parentHeader(rule, index);
}

void markModified(Lines &rule, int index)
{
    const int header = headerAbove(rule, index);
    if (header >= 0 && !rule[header].startsWith('*'))
        rule[header].prepend('*');
}

void appendProfile(Lines &rule, TLineFields &f, const Lines &prf, int headerIndex, CalendarHour start)
{
    if (headerIndex < 0 || headerIndex >= prf.size() || isStageLine(prf[headerIndex]))
        return;
    ParseProfileHeader(f, prf[headerIndex]);
    f.Start = start;
    DecodeStartEnd(f);
    rule.append(FormatTaskHeader(f));
    const int stages = profiles::stageCountAfter(prf, headerIndex);
    for (int i = 1; i <= stages; ++i) {
        ParseStage(f, prf[headerIndex + i]);
        rule.append(FormatTaskStage(f));
    }
}

void replaceStage(Lines &rule, int index, const TLineFields &f)
{
    if (index < 0 || index >= rule.size() || !isStageLine(rule[index]))
        return;
    rule[index] = FormatStage(f);
    markModified(rule, index);
}

void insertStageAfter(Lines &rule, int selected, const TLineFields &f)
{
    if (selected < 0 || selected >= rule.size())
        return;
    rule.insert(selected + 1, FormatStage(f));
    markModified(rule, selected);
}

void changeStart(Lines &rule, int index, TLineFields &f, CalendarHour start)
{
    if (index < 0 || index >= rule.size() || isStageLine(rule[index]))
        return;
    ParseTaskHeader(f, rule[index]);
    f.Start = start;
    DecodeStartEnd(f);
    rule[index] = FormatTaskHeader(f);
}

void removeStage(Lines &rule, int index)
{
    if (index < 0 || index >= rule.size() || !isStageLine(rule[index]))
        return;
    rule.remove(index);
    markModified(rule, index - 1);
}

void removeProfile(Lines &rule, int index)
{
    if (index < 0 || index >= rule.size())
        return;
    const int header = qMax(0, headerAbove(rule, index));
    rule.remove(header, 1 + profiles::stageCountAfter(rule, header));
}

}  // namespace tasks
