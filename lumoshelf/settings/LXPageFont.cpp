#include "settings/LXPageFont.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QMessageBox>
#include <filesystem>

#include "lumolink/LumoCmd.h"
#include "lumolink/LumoConnect.h"
#include "lumolink/LumoStatus.h"
#include "settings/FamilyConversion.h"
#include "settings/FontDirectory.h"
#include "settings/FontFaceList.h"
#include "settings/LXFontGroup.h"
#include "transfers/PrivateTempDir.h"
#include "ui/UserPrompts.h"

namespace {

constexpr unsigned kTempFileError = 1007;
constexpr unsigned kFontConversionFailed = 61532;

// The page start lists the faces and reads the reader's status, which may take a while.
class WaitCursor {
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

QString OversizedFontWarning() {
    return QString::asprintf(
        "The font file is larger than %dk bytes and might be rejected by the Lumo eBook.\nClick "
        "'Cancel' to cancel the operation, and then you can choose a smaller font.  Click 'OK' "
        "if you are sure you want to download this font.",
        kReaderFontLimitK);
}

}  // namespace

CLXPageFont::CLXPageFont(CLumoConnect& reader, std::vector<std::string>& sendList,
                         UserPrompts& prompts, const CLXSettingsStore& settings, QWidget* parent)
    : CLXConfigPage(QStringLiteral("Font"), reader, sendList, prompts, parent),
      m_settings(settings),
      m_large(new CLXFontGroup(
          {QStringLiteral("Large Print"), QStringLiteral("Use &Lumo eBook Default"),
           QStringLiteral("Font &Name"), QStringLiteral("Si&ze"),
           QStringLiteral("Currently installed large font:")},
          QStringLiteral("large"), this)),
      m_small(new CLXFontGroup(
          {QStringLiteral("Small Print"), QStringLiteral("&Use Lumo eBook Default"),
           QStringLiteral("&Font Name"), QStringLiteral("&Size"),
           QStringLiteral("Currently installed small font:")},
          QStringLiteral("small"), this)),
      m_families{{m_large, FAMILY_SIZE_LARGE, "LARGE"}, {m_small, FAMILY_SIZE_SMALL, "SMALL"}} {
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_small);
    layout->addWidget(m_large);
}

void CLXPageFont::OnFirstShow() {
    WaitCursor wait;
    const std::vector<FontFace> faces = ListFontFaces(ListTrueTypeFiles(m_settings));
    m_large->SetFaces(faces);
    m_small->SetFaces(faces);

    CLumoStatus& status = *Reader().GetStatus();
    CLumoFont large, small;
    if (status.GetLargeFont(large) == EB_ERR_SUCCESS &&
        status.GetSmallFont(small) == EB_ERR_SUCCESS && *large.GetFace() && *small.GetFace()) {
        m_large->ShowInstalled(large);
        m_small->ShowInstalled(small);
    }
    m_large->DrawPreview();
    m_small->DrawPreview();
}

bool CLXPageFont::MakesFiles(const Family& family) {
    return family.group->IsChanged() && !family.group->UsesDefault();
}

bool CLXPageFont::OnApply() {
    if (!m_large->IsChanged() && !m_small->IsChanged()) return true;
    for (const Family& family : m_families) {
        if (MakesFiles(family) && family.group->PointSize() == 0) {
            Prompts().tell(programName(), QStringLiteral("Please enter a valid point size."),
                           UserPrompts::Icon::Exclamation);
            family.group->FocusSize();
            return false;
        }
    }

    CLumoCmd& cmd = *Reader().GetCmds();
    cmd.ReOpen();
    cmd.SetPagination(0);
    for (const Family& family : m_families) {
        if (!family.group->IsChanged()) continue;
        cmd.SetDefaultFont(family.size);
        cmd.EraseUserFont(family.size);
    }
    cmd.Close();
    std::vector<std::string> files{CopyCommandFile("first")};
    if (files.front().empty()) return false;

    cmd.ReOpen();
    for (const Family& family : m_families) {
        if (MakesFiles(family) && !ConvertFamilyFiles(family, files)) {
            cmd.Close();
            return false;
        }
    }
    cmd.SetPagination(1);
    cmd.AddFiller();
    cmd.Close();
    if (cmd.WriteFailed()) {
        ShowError(kTempFileError);
        return false;
    }
    // The command file itself goes last, under the name the reader runs. This page applies
    // after every other page of the sheet, so no later ReOpen can empty it before it is sent.
    files.push_back(cmd.GetPath());
    SendList().insert(SendList().end(), files.begin(), files.end());
    ClearChanges();
    return true;
}

bool CLXPageFont::ConvertFamilyFiles(const Family& family, std::vector<std::string>& files) {
    std::filesystem::path folder;
    try {
        folder = lumo::PrivateTempDir();
    } catch (const std::filesystem::filesystem_error&) {
        ShowError(kTempFileError);
        return false;
    }
    CLXFontGroup& group = *family.group;
    const auto selected = group.SelectedFace();
    const FamilyFiles made =
        selected ? ConvertFamily(family.word, group.Faces(), *selected, group.PointSize(), folder)
                 : FamilyFiles{};
    if (!made.converted) {
        ShowError(kFontConversionFailed);
        if (selected) {
            group.FocusSize();
        } else {
            group.FocusFace();
        }
        return false;
    }
    if (made.oversized && !ConfirmOversizedFont(OversizedFontWarning())) {
        ClearChanges();
        return false;
    }
    const auto& names = made.readerNames;
    Reader().GetCmds()->SetUserFont(family.size, names[0].c_str(), names[1].c_str(),
                                    names[2].c_str(), names[3].c_str());
    files.insert(files.end(), made.madeFiles.begin(), made.madeFiles.end());
    return true;
}

void CLXPageFont::ClearChanges() {
    m_large->ClearChanged();
    m_small->ClearChanged();
}

bool CLXPageFont::ConfirmOversizedFont(const QString& text) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Warning"), text,
                    QMessageBox::Ok | QMessageBox::Cancel, this);
    return box.exec() == QMessageBox::Ok;
}
