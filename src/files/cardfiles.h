#pragma once
#include <QString>

class Link;

// Deletes one file on the collector's card; true when the collector
// acknowledged. A name the link cannot carry is not sent.
bool deleteCardFile(Link &link, const QString &name);
