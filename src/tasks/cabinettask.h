#pragma once
#include <QByteArray>
#include <QList>

#include "tasks/linecodec.h"

// A cabinet's task is its list of lines: task profile headers, each followed
// by its stages, every line carrying its start and end. These operations
// change the lines and lay them out in time; the editor passes its one
// TLineFields record to each.
namespace tasks {

using Lines = QList<QByteArray>;

// One row of the task view per line, as text in code page 1251.
struct TaskRow
{
    bool profile = false;
    QByteArray caption;  // the profile's name with its "*", empty on stage rows
    QByteArray interval;
    QByteArray setpoint;
    QByteArray start;
    QByteArray end;
};

// The time a task profile covers. A profile without stages covers nothing and
// takes no part in the overlap rule.
struct ProfileSpan
{
    int line = -1;
    CalendarHour start;
    CalendarHour end;
    bool hasStages = false;
};

struct TaskLayout
{
    QList<TaskRow> rows;  // in line order
    QList<ProfileSpan> profiles;  // in line order
    bool overlap = false;
};

// Lays the stages of every profile end to end from its start, rewrites all
// lines with their start and end, builds the rows and checks for overlaps.
TaskLayout RecalcTask(Lines &rule, TLineFields &f);

// True when two profiles share an hour, bounds included (a profile that
// starts at the very hour another ends overlaps it).
bool profilesOverlap(const QList<ProfileSpan> &profiles);

// The nearest header line at or above index, or -1.
int headerAbove(const Lines &rule, int index);

// Marks the profile the line at index belongs to as changed from its library
// copy: a leading "*" on its header, once.
void markModified(Lines &rule, int index);

// Appends a copy of the library profile whose header is prf[headerIndex]
// (with the stage lines after it), starting at start.
void appendProfile(Lines &rule, TLineFields &f, const Lines &prf, int headerIndex, CalendarHour start);

// The stage at index becomes the stage of f (Days, Hours, Temperature,
// Humidity); its profile is marked.
void replaceStage(Lines &rule, int index, const TLineFields &f);

// A new stage from f directly after the line at selected; the profile found
// from the selected line upwards is marked.
void insertStageAfter(Lines &rule, int selected, const TLineFields &f);

// The profile header at index starts at start from now on.
void changeStart(Lines &rule, int index, TLineFields &f, CalendarHour start);

// Removes the stage at index and marks the profile it belonged to.
void removeStage(Lines &rule, int index);

// Removes the profile at or above index with the stage lines directly after it.
void removeProfile(Lines &rule, int index);

}  // namespace tasks
