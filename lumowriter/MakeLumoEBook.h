#pragma once

// Building an edition from an HTML or plain-text document, as the library calls it.

#ifdef __cplusplus
extern "C" {
#endif

// Results of MakeLumoEBook.
enum {
    LUMOEBOOK_OK = 0,
    LUMOEBOOK_BAD_ARGUMENTS = 1,   // a required text is missing, or the sub-expression is invalid
    LUMOEBOOK_FRAMES = 2,          // the source page holds FRAME or FRAMESET elements
    LUMOEBOOK_NOT_FOUND = 3,       // missing file, HTTP 404, unknown host, or not a URL at all
    LUMOEBOOK_ACCESS_REFUSED = 4,  // HTTP 401/403 and no (or wrong) credentials
    LUMOEBOOK_NETWORK = 5,         // connection, proxy or other HTTP failure
    LUMOEBOOK_UNREADABLE = 6,      // unknown URL scheme, unreadable or over 64 MB
    LUMOEBOOK_WRITE_FAILED = 7,    // the edition file could not be written
};

// Option bits.
enum {
    LUMOEBOOK_IMAGES = 0x1,         // images are wanted (they are left out of the text; see below)
    LUMOEBOOK_NO_IMAGE_TEXT = 0x4,  // a left-out image leaves nothing, not its alternative text
    LUMOEBOOK_LINKS = 0x100,        // follow links to further pages, up to `levels` deep
    LUMOEBOOK_FLAT_TABLES = 0x20000,  // table cells become paragraphs
};

struct LumoEBookProgress {
    int range;           // number of pages known so far
    int position;        // pages done; below 1 while waiting on the network
    const char* status;  // what is being done
};

typedef void (*LumoEBookProgressCallback)(const struct LumoEBookProgress* progress, void* context);
typedef void (*LumoEBookStatusCallback)(const char* text, void* context);
// Asked when a server answers 401 for url. Returns non-zero with *user and *password set to
// strings allocated with malloc (MakeLumoEBook frees them), or 0 when the user cancelled.
typedef int (*LumoEBookCredentialPrompt)(const char* url, char** user, char** password,
                                         void* context);

// Builds the edition outputDir/outputName from source: a "file://" URL of a local HTML or plain
// text file, or an "http://" or "https://" URL. The info entry holds title (the page's <title>
// when title is empty), author, the generator text and "url" = "ebook:" + identifier, so the
// library reads it as an ordinary title. With LUMOEBOOK_LINKS, links from a page to pages whose
// path extension starts with one of pageExtensions (a NULL-terminated list, ".htm" also matches
// ".html") and, when subExpression is not empty, whose absolute URL matches that regular
// expression, are followed up to `levels` links away from the source, and point at the packed
// page; at most 1000 pages are read. Links are only followed within the same kind of source
// (local files, or the web).
// Images are never packed: each <img> is replaced by its alternative text in brackets, unless
// LUMOEBOOK_NO_IMAGE_TEXT is set. Every callback may be null; each gets context. reserved1..3
// must be null. A file left from a failed build is removed.
int MakeLumoEBook(const char* source, const void* reserved1, const void* reserved2,
                  const void* reserved3, const char* outputName, const char* author,
                  const char* title, const char* generator, const char* identifier,
                  const char* outputDir, const char* proxy, const char* const* pageExtensions,
                  const char* subExpression, unsigned options, int levels,
                  LumoEBookProgressCallback progress, LumoEBookStatusCallback status,
                  LumoEBookCredentialPrompt credentials, void* context);

#ifdef __cplusplus
}
#endif
