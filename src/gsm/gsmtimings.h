#pragma once

// Intervals and pass counts of the settings exchange. The defaults are the
// program's real values; tests shorten the intervals.
struct GsmTimings
{
    int passMs = 20;          // one pass of the wait for the module's "#A"
    int passes = 199;         // passes before a settings message counts as lost
    int repeatEvery = 100;    // a pass whose countdown divides by this sends the message again
    int pauseMs = 100;        // pause between the messages of one write
    int readPasses = 500;     // passes the command-line read waits for the settings (10 s)
    int pageScriptMs = 5000;  // longest wait for the page to answer a script call
};
