#pragma once

class Link;

// Puts a cabinet under temporary control or takes it off; true when the
// collector acknowledged. The new state shows with its next report.
bool setTemporaryControl(Link &link, int cabinet, bool on);
