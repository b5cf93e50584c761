#pragma once

#include <QIcon>

// The two markers of the title list, drawn at 16 x 16: a reader for a title that is on the
// Lumo eBook, a note for a title that has markups.
const QIcon& onReaderIcon();
const QIcon& markupsIcon();
