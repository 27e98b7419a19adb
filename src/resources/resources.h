#pragma once

// Registers the program's resources (the GSM settings page and its script
// under qrc:/HTML/). They live in a static library, so whoever uses them calls
// this once before the first use; further calls do nothing.
namespace resources {
void init();
}
