#pragma once

#include <cstdint>
#include <string>

class CLXArchiveReader;
class CLXArchiveWriter;

// One markup file kept for a title: the reader user's annotations, highlights or notes.
class CLXMarkup {
public:
    enum Kind : std::uint32_t { None = 0, Annotation = 1, Highlight = 2, Note = 3 };

    // The kind follows from the extension (".la", ".lh", ".ln", any letter case); 1028 for any
    // other extension. An empty path gives kind None.
    int SetFromPath(const std::string& path);
    int SetPathAndKind(const std::string& path, std::uint32_t kind);
    void SetTitleOwner(const std::string& owner) { titleOwner = owner; }
    void SetReaderId(const std::string& id) { readerId = id; }

    bool Equals(const CLXMarkup& other) const { return path == other.path; }

    // Deletes the markup file; 0 (kind becomes None) or 1003. A file that is already gone
    // counts as deleted.
    int DeleteFile();

    void Store(CLXArchiveWriter& archive) const;
    void Load(CLXArchiveReader& archive);

    // The extension of a kind (".la", ".lh", ".ln"), empty for None.
    static const char* ExtensionOf(std::uint32_t kind);

    std::string version = "1.0";
    std::uint32_t kind = None;
    std::string path;
    std::string titleOwner;
    std::string readerId;
};
