#pragma once

#include <string>
#include <vector>

#include "lumolink/LumoFont.h"
#include "settings/LXConfigPage.h"

class CLXFontGroup;
class CLXSettingsStore;

// The "Font" page: the reader's small and large print, each either the reader's built-in font or
// a TrueType family of the PC converted at a point size. On OK a changed group is made into LXF
// files, and the page queues, in this order, a command file that erases the old user fonts and
// selects the built-in ones, the new font files, and the command file that installs them.
// Nothing is queued unless the whole apply succeeds, so a stopped apply leaves the send list as
// it was and a second OK queues each file once.
class CLXPageFont : public CLXConfigPage {
    Q_OBJECT
public:
    // settings: where "Data Locations"/"FontDir" is read.
    CLXPageFont(CLumoConnect& reader, std::vector<std::string>& sendList, UserPrompts& prompts,
                const CLXSettingsStore& settings, QWidget* parent = nullptr);

    bool OnApply() override;

protected:
    void OnFirstShow() override;
    // The warning about a font file over the reader's limit, with OK and Cancel; true for OK.
    // Tests replace it.
    virtual bool ConfirmOversizedFont(const QString& text);

private:
    struct Family {
        CLXFontGroup* group;
        FamilySize size;
        const char* word;  // "LARGE" or "SMALL": the reader's font file names
    };
    static bool MakesFiles(const Family& family);
    // The group's files are made and their user-font command written into the open command file;
    // false when the apply has to stop.
    bool ConvertFamilyFiles(const Family& family, std::vector<std::string>& files);
    void ClearChanges();

    const CLXSettingsStore& m_settings;
    CLXFontGroup* m_large;
    CLXFontGroup* m_small;
    Family m_families[2];  // in the order applied: large, then small
};
