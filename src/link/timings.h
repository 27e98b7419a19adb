#pragma once

// Every interval the program keeps with the collector and its devices, in
// milliseconds. The defaults are the program's real values; tests shorten them.
struct LinkTimings
{
    int pumpMs = 10;             // reception tick
    int replyMs = 5000;          // TO: reply time-out of a request
    int silenceMs = 15000;       // comTO: no line, frame or checkpoint -> reopen the port
    int gsmPanelMs = 5000;       // gt: hides the GSM activity panel
    int cabinetReportMs = 15000; // gtxr: no cabinet report -> every cabinet absent
    int startDirMs = 500;        // startDir: directory request after the port opens
    int clockQuestionMs = 1000;  // TimeTimer: clock question after "%NOTIME"
    int bootReplyMs = 1500;      // to: boot kernel and block acknowledgement time-out
    int writePerByteMs = 10;     // port write time-out, per byte ...
    int writeConstantMs = 200;   // ... plus this
};
