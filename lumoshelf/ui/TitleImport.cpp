#include "ui/TitleImport.h"

#include <QDir>
#include <QFileInfo>
#include <QProgressDialog>

#include "library/LXCard.h"
#include "library/LXCardErrors.h"
#include "library/LXLibraryDoc.h"
#include "library/LXMarkup.h"
#include "ui/TextConversion.h"

namespace {

constexpr int kFailuresListed = 10;

bool isEditionOrSoftware(const QString& suffix) {
    return suffix.compare("lx", Qt::CaseInsensitive) == 0 ||
           suffix.compare("lff", Qt::CaseInsensitive) == 0;
}

bool isMarkup(const QString& suffix) {
    for (const char* kind : {"la", "lh", "ln"})
        if (suffix.compare(QLatin1String(kind), Qt::CaseInsensitive) == 0) return true;
    return false;
}

void collect(const QFileInfo& entry, QStringList& files) {
    if (entry.isDir()) {
        const QDir dir(entry.absoluteFilePath());
        for (const QFileInfo& sub :
             dir.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
            collect(sub, files);
        for (const QFileInfo& file : dir.entryInfoList(QDir::Files, QDir::Name))
            collect(file, files);
        return;
    }
    if (isEditionOrSoftware(entry.suffix()) || isMarkup(entry.suffix()))
        files << entry.absoluteFilePath();
}

// Why an edition was not added: its own read error, when it has one. An edition that reads
// well was refused by the user (no reinstall) or by the book folder, which told the user.
QString readFailure(const QString& path) {
    CLXCard probe;
    if (probe.ReadFromEdition(toBytes(path)) == 0) return {};
    return toQString(MessageForCardError(probe).text);
}

}  // namespace

QStringList importableFiles(const QStringList& paths) {
    QStringList files;
    for (const QString& path : paths) collect(QFileInfo(path), files);
    return files;
}

ImportOutcome importTitles(CLXLibraryDoc& document, const QStringList& files, QWidget* parent) {
    ImportOutcome outcome;
    QProgressDialog progress(QObject::tr("Adding titles to your library..."), QObject::tr("Cancel"),
                             0, int(files.size()), parent);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(400);
    for (int i = 0; i < files.size(); ++i) {
        progress.setValue(i);
        if (progress.wasCanceled()) {
            outcome.cancelled = true;
            break;
        }
        const QString& path = files[i];
        if (isMarkup(QFileInfo(path).suffix())) {
            CLXMarkup markup;
            if (markup.SetFromPath(toBytes(path)) == 0) document.AddPendingMarkup(markup);
            continue;
        }
        ++outcome.editions;
        if (document.AddTitleFromFile(toBytes(path), false) == 1) {
            ++outcome.added;
        } else if (const QString failure = readFailure(path); !failure.isEmpty()) {
            outcome.failures << failure;
        }
    }
    progress.setValue(int(files.size()));
    document.ApplyPendingMarkups();
    document.Save();
    return outcome;
}

QString importSummary(const ImportOutcome& outcome) {
    if (outcome.added == outcome.editions && outcome.failures.isEmpty()) return {};
    QString text = QObject::tr("%1 of %2 titles were added to your library.")
                       .arg(outcome.added)
                       .arg(outcome.editions);
    if (outcome.cancelled) text += ' ' + QObject::tr("The import was cancelled.");
    for (int i = 0; i < outcome.failures.size() && i < kFailuresListed; ++i)
        text += "\n\n" + outcome.failures[i];
    if (outcome.failures.size() > kFailuresListed)
        text +=
            "\n\n" + QObject::tr("... and %1 more.").arg(outcome.failures.size() - kFailuresListed);
    return text;
}
