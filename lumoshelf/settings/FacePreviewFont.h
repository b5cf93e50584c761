#pragma once

#include <QFont>

struct FontFace;

// A screen font of the face at pointSize points. The face's file is added to the program's
// fonts, so that a face from the "FontDir" folder shows even when the system does not have it.
QFont FacePreviewFont(const FontFace& face, int pointSize);
