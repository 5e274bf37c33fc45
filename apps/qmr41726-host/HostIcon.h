#pragma once
// The host application's icon, which the screen copies as its own.

#include <QIcon>

/// A magnifying glass over a list, drawn at the sizes a window system asks for.
QIcon hostIcon();
