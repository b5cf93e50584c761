#include "settings/FacePreviewFont.h"

#include <QFile>
#include <QFontDatabase>
#include <QHash>
#include <QRawFont>

#include "settings/FontFaceList.h"
#include "ui/TextConversion.h"

namespace {

struct FileFamily {
    QString family;
    QString style;
};

// Each file is added once; its family and style name as Qt reads them.
const FileFamily& FamilyOfFile(const std::string& path) {
    static QHash<QString, FileFamily> known;
    const QString file = QFile::decodeName(QByteArray::fromStdString(path));
    const auto found = known.constFind(file);
    if (found != known.constEnd()) return *found;
    FileFamily family;
    if (QFontDatabase::addApplicationFont(file) >= 0) {
        const QRawFont raw(file, 12);
        if (raw.isValid()) family = {raw.familyName(), raw.styleName()};
    }
    return *known.insert(file, family);
}

}  // namespace

QFont FacePreviewFont(const FontFace& face, int pointSize) {
    const FileFamily& family = FamilyOfFile(face.path);
    QFont font(family.family.isEmpty() ? toQString(face.name) : family.family);
    if (!family.style.isEmpty()) font.setStyleName(family.style);
    font.setPointSize(pointSize);
    return font;
}
