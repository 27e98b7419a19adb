#pragma once
#include "filekind.h"

#include <QIcon>

// The icons of the file lists: task file, statistics file, any other file.
QIcon fileIcon(FileKind kind);
