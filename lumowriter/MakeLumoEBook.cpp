#include "lumowriter/MakeLumoEBook.h"

#include <cstdlib>
#include <filesystem>

#include "lumowriter/EditionBuild.h"

namespace {

std::string text(const char* value) { return value ? value : ""; }

}  // namespace

extern "C" int MakeLumoEBook(const char* source, const void* reserved1, const void* reserved2,
                             const void* reserved3, const char* outputName, const char* author,
                             const char* title, const char* generator, const char* identifier,
                             const char* outputDir, const char* proxy,
                             const char* const* pageExtensions, const char* subExpression,
                             unsigned options, int levels, LumoEBookProgressCallback progress,
                             LumoEBookStatusCallback status, LumoEBookCredentialPrompt credentials,
                             void* context) {
    if (text(source).empty() || text(outputName).empty() || text(outputDir).empty() || reserved1 ||
        reserved2 || reserved3)
        return LUMOEBOOK_BAD_ARGUMENTS;

    lumowriter::EditionRequest request;
    request.source = source;
    request.outputPath = (std::filesystem::path(outputDir) / outputName).string();
    request.author = text(author);
    request.title = text(title);
    request.generator = text(generator);
    request.identifier = text(identifier);
    request.proxy = text(proxy);
    request.anyExtension = pageExtensions == nullptr;
    for (const char* const* extension = pageExtensions; extension && *extension; ++extension)
        request.pageExtensions.emplace_back(*extension);
    request.subExpression = text(subExpression);
    request.options = options;
    request.levels = levels;

    lumowriter::EditionCallbacks callbacks;
    if (progress)
        callbacks.progress = [=](int range, int position, const std::string& statusText) {
            const LumoEBookProgress record{range, position, statusText.c_str()};
            progress(&record, context);
        };
    if (status) callbacks.status = [=](const std::string& line) { status(line.c_str(), context); };
    if (credentials)
        callbacks.credentials = [=](const std::string& url, std::string& user,
                                    std::string& password) {
            char* givenUser = nullptr;
            char* givenPassword = nullptr;
            const bool given = credentials(url.c_str(), &givenUser, &givenPassword, context) != 0;
            if (given) {
                user = text(givenUser);
                password = text(givenPassword);
            }
            std::free(givenUser);
            std::free(givenPassword);
            return given;
        };

    const int result = lumowriter::BuildEdition(request, callbacks);
    if (result != LUMOEBOOK_OK) {
        std::error_code ignored;
        std::filesystem::remove(request.outputPath, ignored);
    }
    return result;
}
