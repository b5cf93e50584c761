#include "library/LXMarkup.h"

#include <unistd.h>

#include <cerrno>

#include "library/Archive.h"
#include "library/FileUtil.h"

namespace {
constexpr int kInternalError = 1028;
constexpr int kUnknownError = 1003;
}  // namespace

const char* CLXMarkup::ExtensionOf(std::uint32_t markupKind) {
    switch (markupKind) {
        case Annotation:
            return ".la";
        case Highlight:
            return ".lh";
        case Note:
            return ".ln";
        default:
            return "";
    }
}

int CLXMarkup::SetFromPath(const std::string& newPath) {
    if (newPath.empty()) return SetPathAndKind(newPath, None);
    const std::string extension = lumo::LowerExtension(newPath);
    for (std::uint32_t candidate : {Annotation, Highlight, Note})
        if (extension == ExtensionOf(candidate)) return SetPathAndKind(newPath, candidate);
    return kInternalError;
}

int CLXMarkup::SetPathAndKind(const std::string& newPath, std::uint32_t newKind) {
    if (newKind > Note) return kInternalError;
    path = newPath;
    kind = newKind;
    return 0;
}

int CLXMarkup::DeleteFile() {
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) return kUnknownError;
    kind = None;
    return 0;
}

void CLXMarkup::Store(CLXArchiveWriter& archive) const {
    archive.WriteString(version);
    archive.WriteU32(kind);
    archive.WriteString(path);
    archive.WriteString(titleOwner);
    archive.WriteString(readerId);
}

void CLXMarkup::Load(CLXArchiveReader& archive) {
    version = archive.ReadString();
    kind = archive.ReadU32();
    path = archive.ReadString();
    titleOwner = archive.ReadString();
    readerId = archive.ReadString();
}
